#pragma once

#include "shell/client.h"

#include <QTemporaryDir>
#include <string>

namespace corvane::testing {

// A scratch folder that holds a test's settings file, logs and Corvane's own
// folder, removed with the test.
struct TempFolder {
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
    std::string settingsPath() const { return dir.filePath("CORVANE.INI").toStdString(); }
    StartOptions options() const {
        return StartOptions{settingsPath(), dir.path().toStdString(), {}, dir.path().toStdString(), {}};
    }
};

} // namespace corvane::testing
