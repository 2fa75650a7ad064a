#include "console.hpp"

namespace qelto::cli {

void Console::Write(std::string_view text) {
    if (text.empty()) return;
    std::fwrite(text.data(), 1, text.size(), err_);
    std::fflush(err_);
    lineOpen_ = text.back() != '\n';
}

void Console::EndOpenLine() {
    if (lineOpen_) Write("\n");
}

void Console::Say(std::string_view line) {
    EndOpenLine();
    Write("qelto-cli: ");
    Write(line);
    Write("\n");
}

void Console::Log(std::string_view line) {
    EndOpenLine();
    Write(line);
    Write("\n");
}

void Console::Status(std::string_view text) {
    EndOpenLine();
    Write("status: ");
    Write(text);
    Write("\n");
}

void Console::Info(std::string_view text) {
    Write(text);
}

void Console::Failure(std::string_view message, std::string_view advice) {
    Status("TIMEOUT!");
    Info(message);
    Info("\n\n");
    if (!advice.empty()) {
        Info(advice);
        Info("\n\n");
    }
}

void Console::Box(std::string_view title, std::string_view text) {
    EndOpenLine();
    Write(title);
    Write("\n");
    Write(text);
    EndOpenLine();
}

bool Console::Confirm(std::string_view title, std::string_view question, bool yes,
                      std::string_view hintForNo) {
    Box(title, question);
    if (yes) {
        Write("-> yes\n");
    } else {
        Write("-> no");
        Write(hintForNo.empty() ? std::string("\n") : " (" + std::string(hintForNo) + ")\n");
    }
    return yes;
}

void Console::Choice(std::string_view title, std::string_view text, std::string_view button) {
    Box(title, text);
    Write("-> ");
    Write(button);
    Write("\n");
}

}  // namespace qelto::cli
