// The parameter-file loader on arbitrary bytes: the file is loaded as the Get command loads it
// (every question answered yes), then saved and loaded again, which must give back exactly the
// same working copy without a question or a report.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/context.hpp"
#include "app/file_commands.hpp"
#include "doubles/memory_ui.hpp"
#include "fuzz_support.hpp"
#include "link/no_devices.hpp"

namespace qelto::fuzz {
const char* const kTargetName = "fuzz_parameter_file";
}  // namespace qelto::fuzz

namespace {

using namespace qelto::fuzz;

namespace fs = std::filesystem;
using namespace qelto;

struct Program {
    MemoryUi ui;
    NoSerialPort serial;
    NoTcpClient tcp;
    NoPortEnumerator ports;
    SensorSession sensor{ui, serial, tcp};
    Context ctx{ui, ui, sensor, ports};

    Program() {
        ui.onUnexpectedPopup = [](const PopupRecord&) {
            Require(false, "every question is answered");
        };
    }
    Outcome Load(const fs::path& path) {
        ui.answers.push_back(PopupAnswer::File(kFileExisting, path.string()));
        ui.answers.push_back(PopupAnswer::Yes());  // not a parameter file: load it anyway
        ui.answers.push_back(PopupAnswer::Yes());  // another version: load it anyway
        return ctx.files.ReadParaFromFile();
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fs::path input = WorkDir() / "input.ini";
    const fs::path saved = WorkDir() / "saved.ini";
    WriteFile(input, data, size);

    Program first;
    Require(first.Load(input) == Outcome::Done, "a file is loaded when every answer is yes");
    for (const PopupRecord& p : first.ui.popups) {
        Require(
            p.kind == PopupKind::FileSelect || p.title == "ATTENTION!" || p.title == "Attention!",
            "only the loader's boxes");
    }

    first.ui.answers.clear();  // the questions a proper parameter file does not ask
    first.ui.answers.push_back(PopupAnswer::File(kFileNew, saved.string()));
    Require(first.ctx.files.SendParaToFile() == Outcome::Done, "the working copy can be saved");

    Program second;
    Require(second.Load(saved) == Outcome::Done, "the saved file loads");
    Require(second.ui.popups.size() == 1 && second.ui.popups[0].kind == PopupKind::FileSelect,
            "a saved file loads without a question or a report");
    Require(second.ctx.working.config().para == first.ctx.working.config().para,
            "the parameters come back exactly");
    Require(second.ctx.working.config().teach == first.ctx.working.config().teach,
            "the teach table comes back exactly");
    return 0;
}
