// Vector rows: every row is one period of the fastest clock.  Its fields are
// collected in V0; the row is then expanded into step, drive and test
// commands in the order of the sorted timing entries (direct mode), or
// buffered per period of the slowest clock and sampled at the end of each
// signal's own period (Verilog mode, -v).
#include <array>
#include <climits>
#include <cstdio>

#include "vecstep.h"

int CurSig = 0;
int nVecs = 0;
float StepTime = 0.0f;
int vec_cnt = 0;
int cum_vec_cnt = 0;

namespace {

float last_st; // time within the row of the last event written

int NameLen[MaxSignals]; // strlen of every sig_name, set when the header ends

void out_name(int si) {
    out_mem(Signal[si].sig_name, (size_t)NameLen[si]);
}

// What a field text holds: x/X digits (not driven, not tested) and z/Z
// digits (released, not tested).
enum : unsigned { HasX = 1, HasZ = 2 };

constexpr auto DigitClass = [] {
    std::array<unsigned char, 256> t{};
    t['x'] = t['X'] = HasX;
    t['z'] = t['Z'] = HasZ;
    return t;
}();

unsigned text_class(const char *t) {
    unsigned c = 0;
    for (; *t; t++)
        c |= DigitClass[(unsigned char)*t];
    return c;
}
bool undefined(const char *t) {
    return text_class(t) != 0;
}

// Decimal value of the leading digits (0 if none); long texts saturate.
int field_value(const char *t) {
    long long v = 0;
    for (; *t >= '0' && *t <= '9'; t++) {
        v = v * 10 + (*t - '0');
        if (v > INT_MAX) return INT_MAX;
    }
    return (int)v;
}

void step_to(float t) {
    float d = t - last_st;
    if (d != 0.0f || StepTime != 0.0f) {
        out_mem("s ", 2);
        out_time(d + StepTime);
        out_char('\n');
        last_st = t;
        StepTime = 0.0f;
    }
}

void drive(int si, const char *text, unsigned cls) {
    if (Signal[si].size > 1) {
        if (cls & HasZ) {
            out_mem("c * ", 4);
        } else {
            out_mem("i 'h", 4);
            out_str(text);
            out_char(' ');
        }
    } else {
        out_mem(text[0] == '0' ? "l " : text[0] == '1' ? "h " : "z ", 2);
    }
    out_name(si);
    out_char('\n');
}

void release(int si) {
    out_mem("c * ", 4);
    out_name(si);
    out_char('\n');
}

void test(int si, const char *text, int r) {
    if ((float)r < Clocks2Test) return;
    out_mem("t ", 2);
    out_name(si);
    out_mem(" 'h", 3);
    out_str(text);
    out_char('\n');
}

void progress(int r) {
    if (r % Clocks2Dump != 0) return;
    if (StepTime != 0.0f) {
        out_mem("s ", 2);
        out_time(StepTime);
        out_char('\n');
        StepTime = 0.0f;
    }
    out_fmt("echo #original sim at cycle :%d absolute time:%.*f\n", r, FloatPrec,
            (double)((float)r * ClkPeriod));
}

// Where one expansion reads its texts: a row of nSigs texts per signal, and
// in Verilog mode the batch, from which each signal is read at row b'.
struct RowView {
    FieldText *row;   // direct mode: V0
    FieldText *batch; // Verilog mode: VecBuffer
    int b;            // Verilog mode: row within the batch

    const char *text(int sig, int multiple) const {
        if (!batch) return row[sig];
        int bp = multiple * (b / multiple + 1) - 1;
        return batch[(size_t)bp * (size_t)nSigs + (size_t)sig];
    }
};

// q of the row rules: 1 without a valid signal, else the valid's value (0
// when its text is undefined).
int qualified(const SigDef &s, const RowView &v) {
    if (!s.valid) return 1;
    const char *vt = v.text(s.val_sig_indx, s.multiple);
    return undefined(vt) ? 0 : field_value(vt);
}

// Expands one row r; phase_row is the row that the phases count (r in
// direct mode, b in Verilog mode).
void expand(int r, const RowView &v, int phase_row) {
    last_st = 0.0f;
    progress(r);
    bool verilog = v.batch != nullptr;
    for (int e = 0; e < nvSigs; e++) {
        const SortTable &ent = SortTab[e];
        int si = ent.indx;
        const SigDef &s = Signal[si];
        if (s.type == VSTP_VALID) continue;
        int phase = s.multiple == 1 ? 0 : phase_row % s.multiple;
        const char *text = v.text(si, s.multiple);

        switch (s.type) {
        case VSTP_INPUT:
            if (phase == s.edgev) {
                unsigned cls = text_class(text);
                bool first = verilog ? cum_vec_cnt <= s.multiple - 1 : r == s.multiple - 1;
                if (!(cls & HasX) && (first || strcmp(text, V1[si]) != 0)) {
                    step_to(ent.time);
                    drive(si, text, cls);
                }
            }
            break;
        case VSTP_OUTPUT:
            if (phase == s.strobev && qualified(s, v) != 0 && text_class(text) == 0) {
                step_to(ent.time);
                test(si, text, r);
            }
            break;
        case VSTP_BIDIR: {
            // The enable decides who drives: oe not 0, the converter; 0, the device.
            const char *et = v.text(s.oe_sig_indx, s.multiple);
            if (undefined(et)) break;
            int oe = field_value(et) ^ s.polarity;
            if (ent.bidir == 0) {
                unsigned cls = text_class(text);
                if (phase == s.edgev && !(cls & HasX)) {
                    step_to(ent.time);
                    if (oe != 0)
                        drive(si, text, cls);
                    else
                        release(si);
                }
            } else if (oe == 0 && phase == s.strobev && qualified(s, v) != 0 &&
                       text_class(text) == 0) {
                step_to(ent.time);
                test(si, text, r);
            }
            break;
        }
        case VSTP_VALID:
            break;
        }

        if (s.type == VSTP_INPUT || s.type == VSTP_BIDIR) {
            if (verilog) {
                // Verilog mode: the applied value is the one sampled at b'.
                if (phase == s.edgev) memcpy(V1[si], text, FieldLen);
            } else if (phase != s.edgev) {
                // A signal's value changes only in the fast cycle of its edge.
                memcpy(V0[si], V1[si], FieldLen);
            }
        }
    }
    StepTime = StepTime + (ClkPeriod - last_st);
}

void expand_batch() {
    for (int b = 0; b < nVecsSlowClk; b++) {
        RowView v{nullptr, VecBuffer, b};
        expand(cum_vec_cnt, v, b);
        cum_vec_cnt++;
    }
}

} // namespace

void rows_begin() {
    for (int i = 0; i < nSigs; i++)
        NameLen[i] = (int)strlen(Signal[i].sig_name);
}

// Field texts of a row.  A bus field must never be cut (it would drive or
// test another value), so a text longer than a field holds ends the run.
void vector_field(const char *text) {
    if (!VectorPhase)
        fatal(911, "Error: vector row before the end of the header, line %d\n", line_num + 1);
    if (CurSig < nSigs) {
        size_t n = strlen(text);
        if (n > FieldLen - 1)
            fatal(911, "Error: vector %d field %d longer than %d characters\n", nVecs, CurSig,
                  FieldLen - 1);
        memcpy(V0[CurSig], text, n + 1);
    }
    if (CurSig < INT_MAX) CurSig++;
}

void row_step() {
    if (CurSig != nSigs)
        fatal(911,
              "ERROR: number of signals in header(%d)"
              " doesn't match number of vectors(%d)\n",
              nSigs, CurSig);
    if (!VerilogMode) {
        RowView v{V0, nullptr, 0};
        expand(nVecs, v, nVecs);
        FieldText *t = V0;
        V0 = V1;
        V1 = t;
    } else {
        memcpy(VecBuffer + (size_t)vec_cnt * (size_t)nSigs, V0, (size_t)nSigs * sizeof(FieldText));
        vec_cnt++;
        if (vec_cnt == nVecsSlowClk) {
            expand_batch();
            vec_cnt = 0;
        }
    }
    CurSig = 0;
    nVecs++;
}
