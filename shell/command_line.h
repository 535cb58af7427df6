// The command line of tarvelin and tarvelin_saver.
#pragma once
#include <string>
#include <vector>

#include "shell/program.h"

// Parses the arguments after the program name. An option given twice, or
// two answers to one question, is a mistake. On a mistake, or an argument
// the program does not take, returns false with a one-line message in
// `error`; with `others`, arguments it does not know (a host's) go there
// instead, in their order.
bool parse_program_options(program_kind kind, int argc, const char* const* argv, program_options& options,
                           std::string& error, std::vector<const char*>* others = nullptr);

// The usage text of the program, ending in a newline.
std::string program_usage(program_kind kind);

// "NAME VERSION" and a newline.
std::string program_version_text(program_kind kind);

// Where the command line's texts go: standard output and standard error by
// default; a front end without them (a Windows program started from the
// desktop) hands in its own, such as a message box.
struct command_line_output {
    void (*out)(const char* text);  // help and version
    void (*err)(const char* text);  // a bad option, with the usage
};
extern const command_line_output standard_streams;

// Parses the arguments after the program name and runs the program:
// --help and --version print and end with 0; a bad option prints a line
// and the usage and ends with 2, opening nothing; otherwise run_program
// with the options' answers.
int run_from_command_line(const platform& p, program_kind kind, int argc, const char* const* argv,
                          const command_line_output& output = standard_streams);
