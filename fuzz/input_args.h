// Turns one fuzz input into a command line.  The fuzzing shim (linked into
// the instrumented tools) and the replay launcher (used by the regression
// tests) both call this, so a saved input means the same run in both.
//
// Modes, chosen by name:
//   "opts"   the input is a vector table whose first line may be a comment
//            carrying options, «# -v -d3 -t 2.5»; the options are taken from
//            it (those that write files or only print usage are dropped) and
//            the table itself is passed as the input file.  The comment line
//            stays part of the table, as any comment would.
//   "words"  the input's blank-separated words are the whole command line,
//            the first word being the name the program is invoked under.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace fuzzargs {

constexpr std::size_t kMaxWords = 8;
constexpr std::size_t kMaxWordLength = 64;
constexpr std::size_t kMaxScan = 4096;

inline bool is_blank(unsigned char c) {
    return c <= ' ';
}

// Reads at most kMaxScan bytes of the file, split into words at blanks and
// control characters.  With first_line_only, stops at the first newline.
inline std::vector<std::string> read_words(const char *path, bool first_line_only) {
    std::vector<std::string> words;
    std::FILE *f = std::fopen(path, "rb");
    if (!f) return words;
    std::string word;
    for (std::size_t n = 0; n < kMaxScan; ++n) {
        int c = std::fgetc(f);
        if (c == EOF || (first_line_only && c == '\n')) break;
        if (is_blank(static_cast<unsigned char>(c))) {
            if (!word.empty()) words.push_back(word);
            word.clear();
            if (words.size() == kMaxWords) break;
        } else if (word.size() < kMaxWordLength) {
            word += static_cast<char>(c);
        }
    }
    if (!word.empty() && words.size() < kMaxWords) words.push_back(word);
    std::fclose(f);
    return words;
}

// An option word the converters may be given: flags and values of
// -c -v -d -p -t -s, attached or separate.  -o (writes a file) and -u
// (usage only) are left out.
inline bool allowed_option(std::string_view w) {
    auto value_char = [](char c) {
        return (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E';
    };
    std::size_t i = 0;
    if (w.size() >= 2 && w[0] == '-') {
        i = 1;
        while (i < w.size() && std::string_view("cvdpts").find(w[i]) != std::string_view::npos)
            ++i;
        if (i == 1) return false;
    }
    for (; i < w.size(); ++i)
        if (!value_char(w[i])) return false;
    return !w.empty();
}

// The command line for one input.  argv0 is the tool's own name or path.
inline std::vector<std::string> command_line(std::string_view mode, const char *argv0,
                                             const char *input) {
    std::vector<std::string> args;
    if (mode == "words") {
        args = read_words(input, false);
        if (args.empty()) args.push_back(argv0);
        return args;
    }
    args.push_back(argv0);
    std::vector<std::string> first = read_words(input, true);
    if (!first.empty() && first[0] == "#")
        for (std::size_t i = 1; i < first.size(); ++i)
            if (allowed_option(first[i])) args.push_back(first[i]);
    args.push_back(input);
    return args;
}

} // namespace fuzzargs
