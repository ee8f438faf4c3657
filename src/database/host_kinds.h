#pragma once

// The keys of the host's kinds of data file. Each key is also the database password of
// the files of its kind.
namespace hostkind {

inline constexpr const char* kSystemKey = "QHMOR5136";
inline constexpr const char* kWorkKey = "QHTEVZ5136";
inline constexpr const char* kDesignKey = "QHWUNK5136";
inline constexpr const char* kStandardKey = "QHRIPO5136";
inline constexpr const char* kUserKey = "QHGAFE5136";
inline constexpr const char* kLearningKey = "QHZOLU5136";
inline constexpr const char* kOtherKey = "QHBEXI5136";

}  // namespace hostkind
