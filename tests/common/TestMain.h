#pragma once

#include <QString>

namespace testsupport {

// Folder for screenshots and other files a person may want to look at after a run.
QString artifactDir();

} // namespace testsupport
