// Declarations of the table header and the end-of-header steps.
//
// A declaration line builds its record in the slot Signal[nSigs]; the end of
// the line commits it (nSigs + 1).  A clock line uses the slot only for its
// signal reference and builds Clock[nClocks].  Every empty line closes the
// header: clocks are related to the fastest one, each signal is bound to its
// clock, valid and enable, and its timing entries are sorted by time.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "vecstep.h"

SigDef Signal[MaxSignals];
int nSigs = 0;
ClockDef Clock[MaxClocks];
int nClocks = 0;
SortTable SortTab[MaxTimings];
int nvSigs = 0;
float CurEdge = 0.0f;
float CurStrobe = 0.0f;
int ClkSig = 0;
int ClkPhase = 0;
float ClkPeriod = 0.0f;
int ClkIndex = 0;
float SlowClkPeriod = 0.0f;
int nVecsSlowClk = 0;

FieldText *V0 = nullptr;
FieldText *V1 = nullptr;
FieldText *VecBuffer = nullptr;

namespace {

SigDef &slot() {
    return Signal[nSigs];
}

void copy_name(char (&dst)[SigNameLen], const char *src) {
    snprintf(dst, sizeof dst, "%s", src);
}

void set_bit_name(char (&dst)[SigNameLen], const char *name, int bit) {
    snprintf(dst, sizeof dst, "%s[%d]", name, bit);
}

FieldText *new_fields(size_t count) {
    auto *p = static_cast<FieldText *>(calloc(count ? count : 1, sizeof(FieldText)));
    if (!p) fatal(1, "Error: out of memory for %zu vector fields\n", count);
    return p;
}

int find_signal(const char *name) {
    for (int i = 0; i < nSigs; i++)
        if (strcmp(Signal[i].sig_name, name) == 0) return i;
    return -1;
}

void add_timing(int i, float time, int bidir) {
    SortTab[nvSigs].indx = i;
    SortTab[nvSigs].time = time;
    SortTab[nvSigs].bidir = bidir;
    nvSigs++;
}

// Remainder of a time within the fastest period, computed in double from
// the float values and stored back as float.
float fast_remainder(float t) {
    return (float)std::fmod((double)t, (double)ClkPeriod);
}
int fast_cycles(float t) {
    return trunc_int((double)t / (double)ClkPeriod);
}

void check_time(const SigDef &s, const char *what, float t, float period) {
    if (t > period)
        fatal(1, "Signal %s %s time (%f) larger than clock period (%f)\n", s.sig_name, what,
              (double)t, (double)period);
}

// Verilog sampling reads row b' = multiple * (b / multiple + 1) - 1 of a
// batch of nVecsSlowClk rows, so every clock's multiple must divide the
// batch, and a batch needs at least one clock.
void check_verilog_batch() {
    if (nVecsSlowClk < 1) fatal(1, "Error: -v needs at least one clock\n");
    for (int c = 0; c < nClocks; c++)
        if (nVecsSlowClk % Clock[c].multiple != 0)
            fatal(1,
                  "Error: clock %s period (%f) does not divide"
                  " the slowest clock period (%f), as -v needs\n",
                  Clock[c].sig_name, (double)Clock[c].period, (double)SlowClkPeriod);
    std::size_t bytes = (std::size_t)nVecsSlowClk * (std::size_t)nSigs * sizeof(FieldText);
    if (bytes > MaxBatchBytes)
        fatal(1, "Error: -v holds %d rows of %d signals at a time, %zu MiB, more than %zu MiB\n",
              nVecsSlowClk, nSigs, bytes >> 20, MaxBatchBytes >> 20);
}

void bind_clocks() {
    for (int c = 0; c < nClocks; c++) {
        ClockDef &k = Clock[c];
        if (std::fmod((double)k.period, (double)ClkPeriod) != 0.0) {
            fatal(1,
                  "Error: clock %s period (%f) not an integer"
                  " multiple of clock %s period (%f)\n",
                  k.sig_name, (double)k.period, Clock[ClkIndex].sig_name, (double)ClkPeriod);
        }
        k.multiple = trunc_int((double)k.period / (double)ClkPeriod);
    }
}

void bind_signal_clocks() {
    for (int i = 0; i < nSigs; i++) {
        SigDef &s = Signal[i];
        if (s.clk_sig_name[0] == '\0') {
            s.multiple = 1;
            continue;
        }
        int c = 0;
        while (c < nClocks && strcmp(Clock[c].sig_name, s.clk_sig_name) != 0)
            c++;
        if (c == nClocks) fatal(1, "Error: clock %s not found\n", s.clk_sig_name);
        s.multiple = Clock[c].multiple;
    }
}

// Finds the valid or enable signal `name` of signal s (the first of that
// name) and checks that it is on the same clock; `what` is "valid" or
// "enable", as the messages say.
int bind_qualifier(const SigDef &s, const char *name, const char *what) {
    int q = find_signal(name);
    if (q < 0) fatal(1, "Error: %s %s not found\n", what, name);
    if (Signal[q].multiple != s.multiple)
        fatal(1, "Error: %s %s not on same clock as %s\n", what, name, s.sig_name);
    return q;
}

void build_timings() {
    nvSigs = 0;
    for (int i = 0; i < nSigs; i++) {
        SigDef &s = Signal[i];
        if (s.valid && s.type != VSTP_VALID)
            s.val_sig_indx = bind_qualifier(s, s.val_sig_name, "valid");
        if (s.type == VSTP_BIDIR) s.oe_sig_indx = bind_qualifier(s, s.en_sig_name, "enable");
        // An input is driven at its edge, an output tested at its strobe, a
        // bidirectional signal has both; a time equal to the period passes.
        float period = (float)s.multiple * ClkPeriod;
        bool has_edge = s.type == VSTP_INPUT || s.type == VSTP_BIDIR;
        bool has_strobe = s.type == VSTP_OUTPUT || s.type == VSTP_BIDIR;
        if (has_edge) check_time(s, "edge", s.edge, period);
        if (has_strobe) check_time(s, "strobe", s.strobe, period);
        if (has_edge) {
            add_timing(i, fast_remainder(s.edge), 0);
            s.edgev = fast_cycles(s.edge);
        }
        if (has_strobe) {
            add_timing(i, fast_remainder(s.strobe), s.type == VSTP_BIDIR);
            s.strobev = fast_cycles(s.strobe);
        }
        if (s.type == VSTP_VALID) {
            add_timing(i, 0.0f, 0);
            s.edgev = s.strobev = 0;
        }
    }
    std::stable_sort(SortTab, SortTab + nvSigs,
                     [](const SortTable &a, const SortTable &b) { return a.time < b.time; });
}

} // namespace

// ---- signal references ---------------------------------------------------------

void sig_ref_name(const char *name) {
    SigDef &s = slot();
    copy_name(s.sig_name, name);
    s.size = 1;
    s.msb = 0;
    s.lsb = 0;
    s.hex_dig = 1;
    sig_ref_done();
}

// Indexes are arbitrary ints; the arithmetic is done wide so that absurd
// ranges wrap instead of overflowing.
void sig_ref_bus(const char *name, int msb, int lsb) {
    SigDef &s = slot();
    copy_name(s.sig_name, name);
    s.msb = msb;
    s.lsb = lsb;
    s.size = (int)((long long)msb - lsb + 1);
    s.hex_dig = (int)(((long long)msb - lsb + 4) / 4);
}

void sig_ref_bit(const char *name, int bit) {
    SigDef &s = slot();
    set_bit_name(s.sig_name, name, bit);
    s.msb = s.lsb = bit;
    s.size = 1;
    s.hex_dig = 1;
}

void sig_ref_done() {
    SigDef &s = slot();
    s.type = VSTP_INPUT;
    s.edge = CurEdge;
    s.strobe = CurStrobe;
    s.valid = 0;
}

// ---- kinds and options -----------------------------------------------------------

void decl_kind(SignalNodeType type) {
    SigDef &s = slot();
    s.clk_sig_name[0] = '\0';
    s.type = type;
    if (type == VSTP_VALID) {
        s.edge = 0.0f;
        s.valid = 0;
    }
}

void decl_bidir(const char *en_name, int polarity) {
    SigDef &s = slot();
    decl_kind(VSTP_BIDIR);
    copy_name(s.en_sig_name, en_name);
    s.polarity = polarity;
}

void decl_bidir_bit(const char *en_name, int bit, int polarity) {
    SigDef &s = slot();
    decl_kind(VSTP_BIDIR);
    set_bit_name(s.en_sig_name, en_name, bit);
    s.polarity = polarity;
}

void decl_edge(float t) {
    slot().edge = CurEdge = t;
}
void decl_strobe(float t) {
    slot().strobe = CurStrobe = t;
}

void decl_valid(const char *name) {
    SigDef &s = slot();
    copy_name(s.val_sig_name, name);
    s.valid = 1;
}

void decl_clock_name(const char *name) {
    copy_name(slot().clk_sig_name, name);
}

// ---- clocks ----------------------------------------------------------------------

void clock_first_phase(int level, float duration, int dummy) {
    ClockDef &k = Clock[nClocks];
    copy_name(k.sig_name, slot().sig_name);
    k.val[0] = level;
    k.time[0] = duration;
    k.phases = 1;
    k.dummy = dummy;
    ClkPhase = 1;
}

void clock_next_phase(int level, float duration) {
    if (ClkPhase == MaxPhases) fatal(1, "Error, exceeded max number of clk phases %d\n", ClkPhase);
    ClockDef &k = Clock[nClocks];
    k.val[ClkPhase] = level;
    k.time[ClkPhase] = duration;
    ClkPhase++;
    k.phases = ClkPhase;
}

// ---- end of a declaration line -------------------------------------------------

static void end_clock_line() {
    ClockDef &k = Clock[nClocks];
    if (!k.dummy) {
        out_str("clock ");
        out_str(k.sig_name);
        out_char(' ');
    }
    ClkPeriod = 0.0f;
    for (int p = 0; p < k.phases; p++) {
        ClkPeriod += k.time[p];
        if (!k.dummy) out_fmt("%d(%.*f) ", k.val[p], FloatPrec, (double)k.time[p]);
    }
    if (!k.dummy) out_char('\n');
    k.period = ClkPeriod;
    k.multiple = 1;
    ClkSig = 0;
    nClocks++;
    if (nClocks > MaxClocks - 1)
        fatal(911, "Error: number of clocks %d exceeds max(%d)\n", nClocks, MaxClocks);
}

void end_decl_line() {
    // The value buffers are sized at the end of the header; a signal added
    // later would have none.
    if (VectorPhase)
        fatal(911, "Error: declaration of %s after the end of the header, line %d\n",
              slot().sig_name, line_num);
    if (ClkSig) {
        end_clock_line();
        return;
    }
    nSigs++;
    if (nSigs > MaxSignals - 1)
        fatal(911, "Error: number of signals %d exceeds max(%d)\n", nSigs, MaxSignals);
}

// ---- end of the header -------------------------------------------------------------

void end_header() {
    if (!V0) {
        V0 = new_fields((size_t)nSigs);
        V1 = new_fields((size_t)nSigs);
    }
    ClkPeriod = 1.0e9f;
    SlowClkPeriod = 0.0f;
    for (int c = 0; c < nClocks; c++) {
        if (Clock[c].period < ClkPeriod) {
            ClkPeriod = Clock[c].period;
            ClkIndex = c;
        }
        if (Clock[c].period > SlowClkPeriod) SlowClkPeriod = Clock[c].period;
    }
    nVecsSlowClk = trunc_int((double)SlowClkPeriod / (double)ClkPeriod);
    bind_clocks();
    if (VerilogMode) {
        check_verilog_batch();
        if (!VecBuffer) VecBuffer = new_fields((size_t)nVecsSlowClk * (size_t)nSigs);
    }
    bind_signal_clocks();
    build_timings();
    rows_begin();
    VectorPhase = 1;
}

// A bad line is dropped; its newline then reads as an empty line.
void bad_statement(int token) {
    message("Statement, Unrecognized statement syntax: %d\n", token);
}
