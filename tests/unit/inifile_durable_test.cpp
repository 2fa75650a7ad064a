// A replaced file survives a power loss: the new text is on the disk before it takes the old
// file's place, and the directory's new entry after. This test binary puts its own fsync in
// front of the C library's to see what is synchronised, and when.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/inifile.hpp"
#include "temp_dir.hpp"

// Putting a function in front of the C library's takes Linux's dynamic linker.
#if defined(__linux__)
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct SyncSeen {
    std::string path;        // what the descriptor names
    std::string text;        // its content, for a regular file
    std::string targetText;  // the target's content at that moment
};

// Only the test below switches the recording on; every other call passes straight through.
struct SyncLog {
    bool on = false;
    std::string target;
    std::vector<SyncSeen> seen;
};
SyncLog& Log() {
    static SyncLog log;
    return log;
}

std::string DescriptorPath(int fd) {
    char buf[4096];
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t n = readlink(link.c_str(), buf, sizeof buf);
    return n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : std::string();
}

}  // namespace

extern "C" int fsync(int fd) {
    using Fsync = int (*)(int);
    static const auto real = reinterpret_cast<Fsync>(dlsym(RTLD_NEXT, "fsync"));
    SyncLog& log = Log();
    if (log.on) {
        struct stat st {};
        fstat(fd, &st);
        const std::string path = DescriptorPath(fd);  // a writer's descriptor cannot be read
        log.seen.push_back({path, S_ISREG(st.st_mode) ? qelto::ReadBytes(path) : "",
                            qelto::ReadBytes(log.target)});
    }
    return real(fd);
}

namespace qelto {
namespace {

TEST(IniDurableWrite, FileIsSyncedBeforeTheReplacementAndTheDirectoryAfter) {
    TempDir dir;
    const std::string target = dir.File("target.ini");
    const std::string oldText = "[OLD]\r\nKEEP = 1\r\n\r\n";
    WriteBytes(target, oldText);
    IniHandle doc = Ini_New(0);
    Ini_PutString(doc.get(), "S", "NEW", "content");
    const std::string newText = "[S]\r\nNEW = \"content\"\r\n\r\n";

    Log() = SyncLog{true, target, {}};
    const int result = Ini_WriteToFile(doc.get(), target);
    const std::vector<SyncSeen> seen = Log().seen;
    Log() = SyncLog{};
    ASSERT_EQ(result, 0);

    const std::string dirPath = std::filesystem::canonical(dir.path()).string();
    std::size_t fileSync = seen.size();
    std::size_t dirSync = seen.size();
    for (std::size_t i = 0; i < seen.size(); ++i) {
        const bool temporary = seen[i].path.rfind(dirPath + "/ini$$", 0) == 0;
        if (temporary && seen[i].text == newText && seen[i].targetText == oldText) fileSync = i;
        if (seen[i].path == dirPath && seen[i].targetText == newText) dirSync = i;
    }
    EXPECT_LT(fileSync, seen.size()) << "the new text was not synced before the replacement";
    EXPECT_LT(dirSync, seen.size()) << "the directory was not synced after the replacement";
    EXPECT_LT(fileSync, dirSync);
}

}  // namespace
}  // namespace qelto
#endif
