#pragma once
// The add-on's settings in the settings store, the host's install folder, and their defaults.
// Failures are reported only by the message boxes named below; nothing throws.
#include <string>

#include "platform/status.h"

namespace addon {

// The add-on's own key; the add-on opens it for reading and never creates it.
inline constexpr const char* kAddOnKey = "Software\\Tarvenic";
// Where the values sit: the sub-key "Tarvenic" of the add-on's key.
inline constexpr const char* kValuesKey = "Software\\Tarvenic\\Tarvenic";
inline constexpr const char* kHostKey = "SOFTWARE\\Quarnel, Inc.\\Quarnel Design";
inline constexpr const char* kReadErrorMessage = ": registry read error 1 - reinstall of Tarvenic required";
inline constexpr const char* kWriteErrorMessage = ": registry write error - CurrentFile";

// "InstallPath" when the key opens and the value names something that exists; otherwise the
// programs folder + "/Tarvenic/tarvdir".
std::string readInstallFolder();

// "notfound" without the add-on's key; "" (after a message) when "Projects" cannot be read;
// otherwise the value.
std::string readProjectsRoot();

// A value of the add-on's key ("CurrentSolver"): "C:\" without the key; "" (after a message)
// when the value cannot be read.
std::string readValue(const std::string& name);

// Writes `text` as value `name`. Answers 1 without writing when the key does not exist, 1 after
// a good write, 0 (after a message made of `text`) when the write fails.
int writeValue(const std::string& text, const std::string& name);

// The host's install folder ("HomeDirectory", at most 260 bytes) into `folder`; 0 on success,
// the general-failure code otherwise (then `folder` is left as it was).
platform::Status readHostHomeFolder(std::string& folder);

}  // namespace addon
