// Vector rows: every row is one period of the fastest clock.  Its fields are
// collected in V0; the row is then expanded into step, drive and test
// commands in the order of the sorted timing entries (direct mode), or
// buffered per period of the slowest clock and sampled at the end of each
// signal's own period (Verilog mode, -v).
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

bool has_any(const char *t, const char *set) {
    for (; *t; t++)
        if (strchr(set, *t)) return true;
    return false;
}
bool has_x(const char *t) {
    return has_any(t, "xX");
}
bool has_z(const char *t) {
    return has_any(t, "zZ");
}
bool undefined(const char *t) {
    return has_any(t, "xXzZ");
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

void drive(const SigDef &s, const char *text) {
    if (s.size > 1) {
        if (has_z(text)) {
            out_mem("c * ", 4);
        } else {
            out_mem("i 'h", 4);
            out_str(text);
            out_char(' ');
        }
    } else {
        out_mem(text[0] == '0' ? "l " : text[0] == '1' ? "h " : "z ", 2);
    }
    out_str(s.sig_name);
    out_char('\n');
}

void release(const SigDef &s) {
    out_mem("c * ", 4);
    out_str(s.sig_name);
    out_char('\n');
}

void test(const SigDef &s, const char *text, int r) {
    if ((float)r < Clocks2Test) return;
    out_mem("t ", 2);
    out_str(s.sig_name);
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

// Expands one row r.  `first` is the first-cycle rule of the mode.
void expand(int r, const RowView &v, int phase_row) {
    last_st = 0.0f;
    progress(r);
    for (int e = 0; e < nvSigs; e++) {
        const SortTable &ent = SortTab[e];
        int si = ent.indx;
        const SigDef &s = Signal[si];
        if (s.type == VSTP_VALID) continue;
        int phase = phase_row % s.multiple;
        const char *text = v.text(si, s.multiple);
        int q = 1;
        if (s.valid) {
            const char *vt = v.text(s.val_sig_indx, s.multiple);
            q = undefined(vt) ? 0 : field_value(vt);
        }
        bool en_defined = false;
        int oe = 0;
        if (s.type == VSTP_BIDIR) {
            const char *et = v.text(s.oe_sig_indx, s.multiple);
            en_defined = !undefined(et);
            if (en_defined) oe = field_value(et) ^ s.polarity;
        }
        bool first = v.batch ? cum_vec_cnt <= s.multiple - 1 : r == s.multiple - 1;
        bool changed = first || strcmp(text, V1[si]) != 0;

        switch (s.type) {
        case VSTP_INPUT:
            if (changed && phase == s.edgev && !has_x(text)) {
                step_to(ent.time);
                drive(s, text);
            }
            break;
        case VSTP_OUTPUT:
            if (q != 0 && phase == s.strobev && !undefined(text)) {
                step_to(ent.time);
                test(s, text, r);
            }
            break;
        case VSTP_BIDIR:
            if (ent.bidir == 0) {
                if (en_defined && phase == s.edgev && !has_x(text)) {
                    step_to(ent.time);
                    if (oe != 0)
                        drive(s, text);
                    else
                        release(s);
                }
            } else if (q != 0 && en_defined && oe == 0 && phase == s.strobev && !undefined(text)) {
                step_to(ent.time);
                test(s, text, r);
            }
            break;
        case VSTP_VALID:
            break;
        }

        if (s.type == VSTP_INPUT || s.type == VSTP_BIDIR) {
            if (v.batch) {
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
