// Inside the platform layer: how the file-system errors of Windows are sorted into the answers of
// files.h, and the faults tests inject. Neutral, so that the POSIX build sorts injected codes the same
// way; the Windows build checks the values against <winerror.h>.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/files.h"

namespace orv::fs::detail {

namespace winerror {
inline constexpr uint32_t kFileNotFound = 2;
inline constexpr uint32_t kPathNotFound = 3;
inline constexpr uint32_t kAccessDenied = 5;
inline constexpr uint32_t kInvalidDrive = 15;
inline constexpr uint32_t kNotReady = 21;
inline constexpr uint32_t kSharingViolation = 32;
inline constexpr uint32_t kBadNetPath = 53;
inline constexpr uint32_t kNetworkBusy = 54;
inline constexpr uint32_t kDevNotExist = 55;
inline constexpr uint32_t kBadNetResp = 58;
inline constexpr uint32_t kUnexpNetErr = 59;
inline constexpr uint32_t kNetNameDeleted = 64;
inline constexpr uint32_t kBadDevType = 66;
inline constexpr uint32_t kBadNetName = 67;
inline constexpr uint32_t kSharingPaused = 70;
inline constexpr uint32_t kReqNotAccep = 71;
inline constexpr uint32_t kRedirPaused = 72;
inline constexpr uint32_t kSemTimeout = 121;
inline constexpr uint32_t kInvalidName = 123;
inline constexpr uint32_t kBadPathname = 161;
inline constexpr uint32_t kFilenameExcedRange = 206;
inline constexpr uint32_t kVcDisconnected = 240;
inline constexpr uint32_t kDirectory = 267;
inline constexpr uint32_t kNoMediaInDrive = 1112;
inline constexpr uint32_t kDeviceNotConnected = 1167;
inline constexpr uint32_t kConnectionUnavail = 1201;
inline constexpr uint32_t kNoNetOrBadPath = 1203;
inline constexpr uint32_t kNoNetwork = 1222;
inline constexpr uint32_t kConnectionRefused = 1225;
inline constexpr uint32_t kNetworkUnreachable = 1231;
inline constexpr uint32_t kHostUnreachable = 1232;
inline constexpr uint32_t kProtocolUnreachable = 1233;
inline constexpr uint32_t kPortUnreachable = 1234;
inline constexpr uint32_t kConnectionAborted = 1236;
inline constexpr uint32_t kHostDown = 1256;
inline constexpr uint32_t kTimeout = 1460;
inline constexpr uint32_t kDeviceRemoved = 1617;
inline constexpr uint32_t kNotConnected = 2250;
inline constexpr uint32_t kNetworkNotAvailable = 5035;
}  // namespace winerror

enum class ErrorClass {
    Absent,       // the system looked and found nothing there
    Unreachable,  // the volume or its server did not answer
    Failed,       // something is there, or may be, but it cannot be examined
};

ErrorClass ClassifyWindowsError(uint32_t code);

// The root of the share a UNC path lies on ("\\server\share\", "\\?\UNC\server\share\", forward
// slashes allowed); empty for any other path.
std::string ShareRoot(std::string_view path);

// The code a test injected for this call and path, if any.
std::optional<uint32_t> InjectedFault(SystemCall call, std::string_view path);

// Whether a test has injected faults at all: a listing asks once, not at every entry.
bool FaultsInjected();

#ifdef _WIN32
// For tests: lists every folder with FindFirstFileExW, as where the system's directory query is missing.
void ListBySearchOnly(bool searchOnly);
#endif

}  // namespace orv::fs::detail
