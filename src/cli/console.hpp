// What qelto-cli tells the operator on stderr: its own lines ("qelto-cli: ..."), the running
// log of the connection as the window's InfoBox has it, the status line, message boxes and
// the questions the command line answers.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace qelto::cli {

class Console {
  public:
    explicit Console(std::FILE* err) : err_(err) {}

    // A line of the program's own, "qelto-cli: " first, after any unfinished log line.
    void Say(std::string_view line);
    // A line as it is, after any unfinished log line.
    void Log(std::string_view line);
    // "status: <text>", as the window's status display would change.
    void Status(std::string_view text);
    // The running log, as it grows.
    void Info(std::string_view text);
    // A failure: "TIMEOUT!" on the status line, the message and an empty line in the log.
    void Failure(std::string_view message, std::string_view advice = {});
    // A message box: its title and text.
    void Box(std::string_view title, std::string_view text);
    // A yes/no question and the answer the command line gave ("-> no (hint)").
    bool Confirm(std::string_view title, std::string_view question, bool yes,
                 std::string_view hintForNo);
    // A choice the program makes for the operator: the box and "-> <button>".
    void Choice(std::string_view title, std::string_view text, std::string_view button);

  private:
    void Write(std::string_view text);
    void EndOpenLine();

    std::FILE* err_;
    bool lineOpen_ = false;
};

}  // namespace qelto::cli
