/* Icarus Verilog plug-in with the three system functions that the module
 * `driver` written by vecdrive calls:
 *
 *   $getstr$plusarg("mem=", filename)  1 and the text after "+mem=" in the
 *                                      register filename when the simulation
 *                                      was started with such a plus-argument,
 *                                      else 0
 *   $open_mem_file(filename)           a handle to the memory file, 0 when it
 *                                      cannot be opened
 *   $read_mem_file(fp, mem_word)       the next line of the memory file into
 *                                      mem_word as one hexadecimal number
 *                                      (underscores separate, the last digit
 *                                      is the least significant); 0, or -1
 *                                      when no line is left
 *
 * A memory file that cannot be read as such (a bad handle, a character that
 * is not a hexadecimal digit, a line wider than mem_word, a read error) is
 * reported with the file name and line, the simulation is told to finish
 * with status 1, and the call returns -1 so that the driver ends its
 * vectors.  Open files live in the table `mem_files`; a handle is its index
 * plus 1.
 *
 * Load with "iverilog -L DIR -m vecdrive" and "vvp -M DIR -m vecdrive": the
 * compiler needs the plug-in too, to know that the functions return an
 * integer. */
#include <ctype.h>
#include <errno.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <vpi_user.h>

#define MAX_MEM_FILES 64

struct mem_file {
    FILE *fp;
    char *name;
    long line; /* lines read so far */
};

static struct mem_file mem_files[MAX_MEM_FILES];

static PLI_INT32 int_size(PLI_BYTE8 *user_data) {
    (void)user_data;
    return 32;
}

/* Stops the simulation after a fault that makes its results meaningless.
 * vvp's exit status says so too: vpiFinish alone would let it end with 0,
 * and a script would take the run for a clean one. */
static void finish_failed(void) {
    vpip_set_return_value(1);
    vpi_control(vpiFinish, 1);
}

/* What each function is called and its arguments: "r" a register that
 * receives a value, "e" any expression. */
struct function {
    const char *name;
    const char *shape;
};

/* One line naming the call's place in the design, then what went wrong. */
static void report(vpiHandle call, const struct function *fn, const char *fmt, ...)
    __attribute__((format(printf, 3, 4)));
static void report(vpiHandle call, const struct function *fn, const char *fmt, ...) {
    va_list ap;
    vpi_printf("ERROR: %s:%d: %s: ", vpi_get_str(vpiFile, call), (int)vpi_get(vpiLineNo, call),
               fn->name);
    va_start(ap, fmt);
    vpi_vprintf(fmt, ap);
    va_end(ap);
    vpi_printf("\n");
}

/* Collects up to max arguments of a call; returns how many there are. */
static int get_args(vpiHandle call, vpiHandle *args, int max) {
    vpiHandle it = vpi_iterate(vpiArgument, call);
    int n = 0;
    vpiHandle arg;
    if (it == NULL) return 0;
    while ((arg = vpi_scan(it)) != NULL) {
        if (n < max) args[n] = arg;
        n++;
    }
    return n;
}

static int is_reg(vpiHandle h) {
    return h != NULL && vpi_get(vpiType, h) == vpiReg;
}

/* Checked when the design is compiled: the argument count, and a register
 * where a value is written back. */
static PLI_INT32 check_call(PLI_BYTE8 *user_data) {
    const struct function *fn = (const struct function *)user_data;
    const char *shape = fn->shape;
    vpiHandle call = vpi_handle(vpiSysTfCall, NULL);
    vpiHandle args[2] = {NULL, NULL};
    int want = (int)strlen(shape);
    int n = get_args(call, args, 2);
    int i;
    if (n != want) {
        report(call, fn, "takes %s argument(s)", want == 1 ? "one" : "two");
        finish_failed();
        return 0;
    }
    for (i = 0; i < want; i++)
        if (shape[i] == 'r' && !is_reg(args[i])) {
            report(call, fn, "argument %d must be a register", i + 1);
            finish_failed();
        }
    return 0;
}

static void put_result(vpiHandle call, int v) {
    s_vpi_value val;
    val.format = vpiIntVal;
    val.value.integer = v;
    vpi_put_value(call, &val, NULL, vpiNoDelay);
}

/* The text of a string expression or of a register holding one. */
static char *get_string(vpiHandle h) {
    s_vpi_value val;
    val.format = vpiStringVal;
    vpi_get_value(h, &val);
    return val.value.str;
}

static PLI_INT32 getstr_plusarg(PLI_BYTE8 *user_data) {
    const struct function *fn = (const struct function *)user_data;
    vpiHandle call = vpi_handle(vpiSysTfCall, NULL);
    vpiHandle args[2] = {NULL, NULL};
    s_vpi_vlog_info info;
    char *prefix;
    size_t plen;
    int i;
    get_args(call, args, 2);
    prefix = strdup(get_string(args[0]));
    if (prefix == NULL || !vpi_get_vlog_info(&info)) {
        free(prefix);
        put_result(call, 0);
        return 0;
    }
    plen = strlen(prefix);
    for (i = 1; i < info.argc; i++) {
        const char *arg = info.argv[i];
        if (arg[0] == '+' && strncmp(arg + 1, prefix, plen) == 0) {
            const char *value = arg + 1 + plen;
            size_t room = (size_t)vpi_get(vpiSize, args[1]) / 8;
            s_vpi_value val;
            if (strlen(value) > room) {
                report(call, fn, "+%s%s is longer than the register (%zu characters)", prefix,
                       value, room);
                free(prefix);
                put_result(call, 0);
                return 0;
            }
            val.format = vpiStringVal;
            val.value.str = (PLI_BYTE8 *)value;
            vpi_put_value(args[1], &val, NULL, vpiNoDelay);
            free(prefix);
            put_result(call, 1);
            return 0;
        }
    }
    free(prefix);
    put_result(call, 0);
    return 0;
}

static PLI_INT32 open_mem_file(PLI_BYTE8 *user_data) {
    const struct function *fn = (const struct function *)user_data;
    vpiHandle call = vpi_handle(vpiSysTfCall, NULL);
    vpiHandle args[1] = {NULL};
    const char *name;
    int slot;
    get_args(call, args, 1);
    name = get_string(args[0]);
    for (slot = 0; slot < MAX_MEM_FILES && mem_files[slot].fp != NULL; slot++)
        ;
    if (slot == MAX_MEM_FILES) {
        report(call, fn, "more than %d memory files open", MAX_MEM_FILES);
        put_result(call, 0);
        return 0;
    }
    mem_files[slot].fp = fopen(name, "r");
    if (mem_files[slot].fp == NULL) {
        report(call, fn, "%s: %s", name, strerror(errno));
        put_result(call, 0);
        return 0;
    }
    mem_files[slot].name = strdup(name);
    mem_files[slot].line = 0;
    put_result(call, slot + 1);
    return 0;
}

static int hex_value(int c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

/* The open file that a handle names, or NULL for anything else (x or z
 * bits, 0, a number never handed out, a closed file). */
static struct mem_file *get_mem_file(vpiHandle h) {
    s_vpi_value val;
    int i, words = (vpi_get(vpiSize, h) + 31) / 32;
    val.format = vpiVectorVal;
    vpi_get_value(h, &val);
    for (i = 0; i < words; i++)
        if (val.value.vector[i].bval != 0 || (i > 0 && val.value.vector[i].aval != 0)) return NULL;
    if (val.value.vector[0].aval < 1 || val.value.vector[0].aval > MAX_MEM_FILES) return NULL;
    return mem_files[val.value.vector[0].aval - 1].fp != NULL
               ? &mem_files[val.value.vector[0].aval - 1]
               : NULL;
}

/* Reads one line as a hexadecimal number into a vector of `width` bits.
 * Returns NULL when the line is a valid number, else what is wrong. */
static const char *parse_line(const char *text, size_t len, int width, s_vpi_vecval *vec,
                              int words) {
    int bit = 0, i, digits = 0;
    size_t k;
    for (i = 0; i < words; i++) {
        vec[i].aval = 0;
        vec[i].bval = 0;
    }
    if (len > 0 && text[len - 1] == '\n') len--;
    if (len > 0 && text[len - 1] == '\r') len--;
    /* From the last digit, the least significant, upward. */
    for (k = len; k-- > 0;) {
        int d = hex_value((unsigned char)text[k]);
        if (text[k] == '_') continue;
        if (d < 0) return "a character that is not a hexadecimal digit";
        digits++;
        for (i = 0; i < 4; i++, bit++) {
            if (((d >> i) & 1) == 0) continue;
            if (bit >= width) return "a line wider than the register";
            vec[bit / 32].aval |= 1u << (bit % 32);
        }
    }
    if (digits == 0) return "a line without digits";
    return NULL;
}

static PLI_INT32 read_mem_file(PLI_BYTE8 *user_data) {
    const struct function *fn = (const struct function *)user_data;
    vpiHandle call = vpi_handle(vpiSysTfCall, NULL);
    vpiHandle args[2] = {NULL, NULL};
    struct mem_file *mf;
    char *text = NULL;
    size_t cap = 0;
    ssize_t len;
    get_args(call, args, 2);
    mf = get_mem_file(args[0]);
    if (mf == NULL) {
        report(call, fn, "no open memory file behind this handle");
        finish_failed();
        put_result(call, -1);
        return 0;
    }
    errno = 0;
    len = getline(&text, &cap, mf->fp);
    if (len < 0) {
        if (ferror(mf->fp)) {
            report(call, fn, "%s: %s", mf->name, strerror(errno));
            finish_failed();
        }
        free(text);
        put_result(call, -1);
        return 0;
    }
    mf->line++;
    {
        int width = vpi_get(vpiSize, args[1]);
        int words = (width + 31) / 32;
        s_vpi_vecval *vec = calloc((size_t)words, sizeof *vec);
        s_vpi_value val;
        const char *fault;
        if (vec == NULL) {
            free(text);
            report(call, fn, "out of memory");
            finish_failed();
            put_result(call, -1);
            return 0;
        }
        fault = parse_line(text, (size_t)len, width, vec, words);
        if (fault != NULL) {
            report(call, fn, "%s line %ld: %s", mf->name, mf->line, fault);
            finish_failed();
            free(vec);
            free(text);
            put_result(call, -1);
            return 0;
        }
        val.format = vpiVectorVal;
        val.value.vector = vec;
        vpi_put_value(args[1], &val, NULL, vpiNoDelay);
        free(vec);
    }
    free(text);
    put_result(call, 0);
    return 0;
}

static void register_function(const struct function *fn, PLI_INT32 (*calltf)(PLI_BYTE8 *)) {
    s_vpi_systf_data tf;
    tf.type = vpiSysFunc;
    tf.sysfunctype = vpiSysFuncInt;
    tf.tfname = fn->name;
    tf.calltf = calltf;
    tf.compiletf = check_call;
    tf.sizetf = int_size;
    tf.user_data = (PLI_BYTE8 *)fn;
    vpi_register_systf(&tf);
}

static const struct function getstr_fn = {"$getstr$plusarg", "er"};
static const struct function open_fn = {"$open_mem_file", "e"};
static const struct function read_fn = {"$read_mem_file", "er"};

static void register_all(void) {
    register_function(&getstr_fn, getstr_plusarg);
    register_function(&open_fn, open_mem_file);
    register_function(&read_fn, read_mem_file);
}

void (*vlog_startup_routines[])(void) = {register_all, NULL};
