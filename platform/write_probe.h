// Whether another program has a file open for writing: the test of a change that has not finished.
#pragma once

#include <string>
#include <string_view>

namespace orv::fs {

// True when the file cannot be opened for reading while write sharing is denied, because another
// program holds it open for writing. One attempt that never waits and reads nothing; the handle shares
// reading and deleting and is closed at once, so it is in nobody's way for longer than the open. False
// for a file that is missing or cannot be opened for another reason (that says nothing of a writer).
bool HeldForWriting(std::string_view path);

// POSIX has no sharing modes, so the answer there is what a test declares: the paths it marks as held
// until it clears them. Unused on Windows.
void SetHeldForWritingForTest(const std::string& path, bool held);

}  // namespace orv::fs
