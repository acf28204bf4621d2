#pragma once

#include "automation/core/Json.h"
#include "automation/core/ScriptCommand.h"
#include "automation/core/ScriptTarget.h"

#include <istream>
#include <ostream>
#include <string>

namespace terrabo::automation {

// Exit statuses of a scripted run besides the app's own.
constexpr int kScriptCompleted = 0;
constexpr int kExpectFailed = 1;
constexpr int kScriptError = 2;

// Runs the script line by line against the target, each line parsed just
// before it runs, so everything before a bad line has had its effect.
// Writes only JSON lines to out. Returns 0 at the end, the app's status when
// it ended itself, 1 at the first failed expect, 2 at the first script error.
int runScript(std::istream& in, ScriptTarget& target, std::ostream& out);

// The same for a file, or standard input when the path is "-". A file that
// cannot be opened is a script error on line 0.
int runScriptFile(const std::string& path, ScriptTarget& target, std::ostream& out);

// {"error": "...", "line": LINE}, printed and flushed; returns 2.
int reportScriptError(std::ostream& out, const std::string& message, int line);

// Runs one parsed command. Returns -1 to go on, or the exit status.
int runCommand(const Command& command, int line, ScriptTarget& target, std::ostream& out);

} // namespace terrabo::automation
