// qelto-cli's JSON as a script reads it: through Python's json module.
#pragma once

#include <QProcess>
#include <string>

namespace qelto {

// What Python's json module makes of `text` (strict UTF-8, one JSON value and nothing else),
// written back on one line with its keys sorted and non-ASCII escaped, to compare with a
// literal; or "refused: " and Python's reason.
inline std::string PythonJson(const std::string& text) {
    QProcess python;
    python.start("/usr/bin/python3",
                 {"-c",
                  "import json, sys\n"
                  "value = json.loads(sys.stdin.buffer.read().decode('utf-8'))\n"
                  "print(json.dumps(value, sort_keys=True), end='')"});
    python.write(QByteArray::fromStdString(text));
    python.closeWriteChannel();
    if (!python.waitForFinished(10000)) return "refused: python3 did not finish";
    if (python.exitCode() != 0) {
        return "refused: " + python.readAllStandardError().trimmed().toStdString();
    }
    return python.readAllStandardOutput().toStdString();
}

}  // namespace qelto
