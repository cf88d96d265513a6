#pragma once

// A caller's error on a widget helper (a null widget, an index out of range) is logged with the
// condition's text and the helper then answers null or does nothing. This holds in every build
// type: an abort in a debug build would make the same tests pass or fail depending on the build.
//
//   if (!TAV_PRECONDITION(i >= 0 && i < nAdditionalFields)) return nullptr;
#define TAV_PRECONDITION(condition) \
    tavPrecondition(static_cast<bool>(condition), #condition, __FILE__, __LINE__)

// Answers ok; when ok is false, logs "ASSERT: \"<text>\" in file <file>, line <line>" as a warning.
bool tavPrecondition(bool ok, const char* text, const char* file, int line);
