// What the clock program calls itself, in one place.
#pragma once

// HX_VERSION and HX_VERSION_NUMBER, made from the file VERSION.
#include "core/product_version.h"

namespace hx::product {

inline constexpr char kName[] = "Horavex.KT";
inline constexpr char kVersion[] = HX_VERSION;
inline constexpr char kNameAndVersion[] = "Horavex.KT " HX_VERSION;
// The caption of the program's warnings about other running instances.
inline constexpr char kWarningCaption[] = "Horavex.KT " HX_VERSION " - Warning...";
inline constexpr char kSettingsFormatVersion[] = "01.00";
// This release as a number that newer versions are compared with.
inline constexpr char kVersionNumber[] = HX_VERSION_NUMBER;

// The program's web page, and the version description of the newest release
// that Updrift.exe reads (its format: update/version_notice.h).
inline constexpr char kWebPage[] = "https://horavex.kt/";
inline constexpr char kUpdateSource[] = "https://horavex.kt/update/horavex-kt.txt";
// An administrator or a test may point Updrift.exe at another description
// with this environment variable (an https:// address, or an http:// one on
// this computer's loopback); the clock program itself never sets it.
inline constexpr char kUpdateSourceVariable[] = "HX_UPDATE_SOURCE";

// The maker's address: error reports are mailed there, and the About
// dialog offers it for wishes and remarks.
inline constexpr char kSupportAddress[] = "support@horavex.kt";
// The program's web page, with news and new versions.
inline constexpr char kWebAddress[] = "http://www.horavex.kt/";

// Names of the single-instance mutexes: an older release, this release,
// and the name every release from this one on holds.
inline constexpr char kMutexOlderRelease[] = "Horavex.KT 1.0.0";
inline constexpr char kMutexThisRelease[] = "Horavex.KT " HX_VERSION_NUMBER;
inline constexpr char kMutexAnyRelease[] = "Horavex.KT";

// Window messages between the program, a second start and the uninstaller.
inline constexpr unsigned kMsgActivateRunning = 1024;  // WM_USER, to TFormClocks
inline constexpr unsigned kMsgCloseRequest = 1025;     // WM_USER + 1, to TFormHoravex
inline constexpr unsigned kMsgTrayCallback = 1026;     // WM_USER + 2
inline constexpr unsigned kMsgClosingBroadcast = 1028; // WM_USER + 4

}  // namespace hx::product
