#include "console_ui.hpp"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "files/paths.hpp"

namespace qelto::cli {
namespace {

// The live displays SetPanelData fills for every sample, and their bit in sampleFilled_.
struct LiveDisplay {
    Ctrl ctrl;
    double LiveSample::*field;
};
constexpr std::array<LiveDisplay, 7> kLiveDisplays{{{Ctrl::RedDisplay, &LiveSample::red},
                                                    {Ctrl::GreenDisplay, &LiveSample::green},
                                                    {Ctrl::BlueDisplay, &LiveSample::blue},
                                                    {Ctrl::XDisplay, &LiveSample::x},
                                                    {Ctrl::YDisplay, &LiveSample::y},
                                                    {Ctrl::IntDisplay, &LiveSample::intensity},
                                                    {Ctrl::ColorNoDisplay, &LiveSample::colorNo}}};
constexpr unsigned kAllLiveDisplays = (1u << kLiveDisplays.size()) - 1;

}  // namespace

ConsoleUi::ConsoleUi(EventPump& pump, std::FILE* err) : pump_(pump), err_(err) {}

void ConsoleUi::AnswerQuestions(bool yes, std::string hintForNo) {
    answer_ = yes;
    hintForNo_ = std::move(hintForNo);
}

void ConsoleUi::Write(std::string_view text) {
    if (text.empty()) return;
    std::fwrite(text.data(), 1, text.size(), err_);
    std::fflush(err_);
    lineOpen_ = text.back() != '\n';
}

void ConsoleUi::EndOpenLine() {
    if (lineOpen_) Write("\n");
}

void ConsoleUi::Say(std::string_view line) {
    EndOpenLine();
    Write("qelto-cli: ");
    Write(line);
    Write("\n");
}

void ConsoleUi::PrintBox(std::string_view title, std::string_view text) {
    EndOpenLine();
    Write(title);
    Write("\n");
    Write(text);
    EndOpenLine();
}

void ConsoleUi::SetCtrlVal(Ctrl c, double value) {
    rec(c).value = value;
    // A sample is complete once every live display has been given its new value; the order
    // in which they are set does not matter.
    for (std::size_t i = 0; i < kLiveDisplays.size(); ++i) {
        if (kLiveDisplays[i].ctrl != c) continue;
        sample_.*kLiveDisplays[i].field = value;
        sampleFilled_ |= 1u << i;
        if (sampleFilled_ == kAllLiveDisplays) {
            sampleFilled_ = 0;
            if (onSample) onSample(sample_);
        }
        return;
    }
}

void ConsoleUi::AppendText(Ctrl c, std::string_view text) {
    rec(c).text += text;
    // The InfoBox is the running log, so it goes out as it grows.
    if (c == Ctrl::InfoBox) Write(text);
}

void ConsoleUi::SetCtrlText(Ctrl c, std::string_view text) {
    rec(c).text = text;
    if (c == Ctrl::StatusDisplay) {
        EndOpenLine();
        Write("status: ");
        Write(text);
        Write("\n");
    }
}

void ConsoleUi::ResetTextBox(Ctrl c, std::string_view text) {
    rec(c).text = text;
}

int ConsoleUi::ComboCount(Ctrl c) {
    return static_cast<int>(rec(c).items.size());
}

std::string ConsoleUi::ComboItem(Ctrl c, int index) {
    const auto& items = rec(c).items;
    if (index < 0 || index >= static_cast<int>(items.size())) return {};
    return items[static_cast<std::size_t>(index)];
}

void ConsoleUi::ComboInsert(Ctrl c, int index, std::string_view text) {
    auto& items = rec(c).items;
    const int pos = std::clamp(index, 0, static_cast<int>(items.size()));
    items.insert(items.begin() + pos, std::string(text));
}

void ConsoleUi::ComboDelete(Ctrl c, int index) {
    auto& items = rec(c).items;
    if (index >= 0 && index < static_cast<int>(items.size())) items.erase(items.begin() + index);
}

void ConsoleUi::SetWindowPos(int left, int top) {
    window_.top = top;
    window_.left = left;
}

void ConsoleUi::SetWindowSize(int width, int height) {
    window_.height = height;
    window_.width = width;
}

void ConsoleUi::MessagePopup(std::string_view title, std::string_view message) {
    if (!quiet_) PrintBox(title, message);
}

int ConsoleUi::ConfirmPopup(std::string_view title, std::string_view question) {
    if (!quiet_) {
        PrintBox(title, question);
        Write(answer_ ? "-> yes\n" : "-> no");
        if (!answer_) Write(hintForNo_.empty() ? "\n" : " (" + hintForNo_ + ")\n");
    }
    return answer_ ? 1 : 0;
}

GenericPopupResult ConsoleUi::GenericMessagePopup(const GenericPopupRequest& popup) {
    // Nobody is there to choose: take the button that Escape would press, the cautious way
    // out (for the connection question that is CLOSE).
    int button = popup.escapeButton != 0 ? popup.escapeButton : popup.enterButton;
    if (button < 1 || button > 3) button = 1;
    if (!quiet_) {
        PrintBox(popup.title, popup.message);
        Write("-> " + popup.buttons[static_cast<std::size_t>(button - 1)] + "\n");
    }
    return {button, {}};
}

int ConsoleUi::FileSelectPopup(const FileDialogRequest&, std::string& path) {
    if (dialogPath_.empty()) return lastDialogResult_ = kFileNoneSelected;
    path = dialogPath_;
    std::error_code ec;
    lastDialogResult_ =
        std::filesystem::exists(PathFromUtf8(dialogPath_), ec) ? kFileExisting : kFileNew;
    return lastDialogResult_;
}

void ConsoleUi::Log(std::string_view line) {
    EndOpenLine();
    Write(line);
    Write("\n");
}

void ConsoleUi::QuitUserInterface(int exitCode) {
    if (!quit_) quit_ = exitCode;
}

}  // namespace qelto::cli
