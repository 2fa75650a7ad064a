#include "files/live_recorder.hpp"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#include "files/os_file.hpp"
#include "files/paths.hpp"

namespace qelto {
namespace {

// Reasons beside a path, as the system's own are.
constexpr std::string_view kNotRegularFile = "not a regular file";
constexpr std::string_view kInUse = "in use by another recording";
constexpr std::string_view kLost = "removed or replaced by another file";

constexpr double kFlushInterval = 1.0;   // seconds
constexpr std::size_t kPageSize = 4096;  // bytes handed to the system in one write

}  // namespace

LiveSample SampleOf(const LiveData& d) {
    return {d.Red(), d.Green(), d.Blue(), d.X(), d.Y(), d.Int(), d.ColorNo()};
}

bool LiveRecorder::Open(const std::string& path) {
    Stop();
    ClearError();
    rows_ = pending_ = committed_ = 0;
    batch_.clear();
    path_ = path;
    begun_ = false;
    const ExclusiveFile opened = OpenExclusive(PathFromUtf8(path));
    existed_ = opened.existed;
    switch (opened.refusal) {
        case OpenRefusal::None:
            file_ = opened.file;
            return true;
        case OpenRefusal::NotRegularFile:
            error_ = path + ": " + std::string(kNotRegularFile);
            return false;
        case OpenRefusal::InUse:
            error_ = path + ": " + std::string(kInUse);
            return false;
        case OpenRefusal::System:
            break;
    }
    error_ = path + ": " + std::strerror(opened.err != 0 ? opened.err : EIO);
    return false;
}

bool LiveRecorder::Begin(double now) {
    if (file_ == nullptr) return false;
    if (const int err = TruncateFile(file_, 0); err != 0) return Fail(err);
    begun_ = true;
    opened_ = now;
    lastWrite_ = now;
    // The header alone, so that every line Write hands over is a row it can count.
    if (const int err = WriteThrough(file_, kLiveCsvHeader); err != 0) return Fail(err);
    committed_ = kLiveCsvHeader.size();
    return true;
}

bool LiveRecorder::Resume(double now) {
    const std::string path = path_;
    const std::uint64_t rows = rows_;
    const double firstRow = firstRow_;
    if (path.empty() || !Open(path)) return false;
    if (std::fseek(file_, 0, SEEK_END) != 0) return Fail(errno != 0 ? errno : EIO);
    const long end = std::ftell(file_);
    committed_ = end > 0 ? static_cast<std::uint64_t>(end) : 0;
    rows_ = rows;
    firstRow_ = firstRow;
    begun_ = true;
    opened_ = now;
    lastWrite_ = now;
    return true;
}

bool LiveRecorder::Append(const LiveSample& s, double requestedAt, double now) {
    if (!active()) return false;
    if (requestedAt < opened_) return true;
    if (rows() == 0) firstRow_ = now;
    std::array<char, 128> line{};
    const std::size_t n = FormatLiveCsvLine(line, now - firstRow_, s, clock_.Now());
    batch_.append(line.data(), n);
    ++pending_;
    if (now - lastWrite_ < kFlushInterval) return true;
    lastWrite_ = now;
    return Write();
}

bool LiveRecorder::Write() {
    if (batch_.empty()) return true;
    // Rows for a file nobody can find any more are lost rows: stop, and say so.
    if (!IsStillAt(file_, PathFromUtf8(path_))) return Lose();
    // Whole rows, a page at most, per write: a write cut short because the program is killed
    // stops where it crosses a page of the file, and a short write crosses at most one.
    std::string_view rest(batch_);
    while (!rest.empty()) {
        std::size_t n = rest.size();
        if (n > kPageSize) {
            const std::size_t end = rest.rfind('\n', kPageSize - 1);
            n = end == std::string_view::npos ? rest.find('\n') + 1 : end + 1;
            if (n == 0) n = rest.size();  // no line break at all: the rest as it is
        }
        const std::string_view chunk = rest.substr(0, n);
        if (const int err = WriteThrough(file_, chunk); err != 0) return Fail(err);
        // The rows of a part that went through are in the file, even if a later part fails.
        const auto rows = static_cast<std::uint64_t>(std::count(chunk.begin(), chunk.end(), '\n'));
        committed_ += n;
        rows_ += rows;
        pending_ -= std::min(pending_, rows);
        rest.remove_prefix(n);
    }
    batch_.clear();
    pending_ = 0;
    return true;
}

void LiveRecorder::Stop() {
    if (file_ == nullptr || (begun_ && !Write())) return;
    Close();
}

void LiveRecorder::Close() {
    std::fclose(file_);
    file_ = nullptr;
    begun_ = false;
    batch_.clear();
    pending_ = 0;
}

bool LiveRecorder::Fail(int err) {
    error_ = path_ + ": " + std::strerror(err);
    // Part of the last batch may have reached the file: cut back to the last whole row. Through
    // the file itself, since its name may stand for another by now.
    TruncateFile(file_, committed_);
    Close();
    return false;
}

bool LiveRecorder::Lose() {
    error_ = path_ + ": " + std::string(kLost);
    lost_ = true;
    Close();
    return false;
}

}  // namespace qelto
