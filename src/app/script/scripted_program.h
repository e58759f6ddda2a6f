#pragma once

#include <QString>
#include <functional>
#include <variant>
#include <vector>

#include "app/options.h"
#include "app/script/script_parser.h"
#include "app/script/script_runner.h"

namespace tq {

class Form1;
class ScriptMessageBoxes;

// The script named on the command line ("-": standard input), read and
// parsed before anything else happens; a script that cannot be read or
// understood asks to exit with the usage status, naming its line.
std::variant<std::vector<script::Command>, ExitRequest> loadScript(const QString& path);

// What a script uses of the window: its run, and Exit's own sequence with
// its question answered Yes. endWith(status) ends the program where Exit
// could not (the window then ends it through its own service).
ScriptHooks windowScriptHooks(Form1& form, ScriptMessageBoxes& boxes,
                              std::function<void(int status)> endWith);

// The program with --script and/or --fast: the window on a clock that a
// script can act through (virtual time throughout with --fast), the start-up,
// then the script's commands. Returns the process exit status: 0, 1 when the
// script failed, 2 when it could not be read.
int runScriptedProgram(const Options& options);

}  // namespace tq
