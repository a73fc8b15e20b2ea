// The console back end: for programs that have no windows to show (vgx52ctl,
// and the program when no display is there). Panels stay data and are never
// drawn; every popup is written to a stream (stderr) as "title: text", so
// the system's messages still reach the person who started the program.
// Questions are answered with what the caller set, or a safe default:
// confirmations "no", prompts cancelled, a generic popup its escape button
// (its enter button when it has none). No operator can act, so the event
// loop ends at once with 0 and a wait for a user event finds none.
//
//   ui::console::Install(stderr);
//   ui::console::SetConfirmAnswer(true);   // e.g. for a --yes switch
#pragma once
#include <cstdio>
#include <optional>
#include <string>

namespace ui::console {

// Makes the console back end the one in use, writing to `out` (not owned,
// stderr when null), and starts afresh: every panel of the model discarded,
// the answers back to their defaults. `shownNote`, when not empty, is
// written as a line of its own the first time a panel would be shown
// (why no window appears).
void Install(std::FILE *out = stderr, const std::string &shownNote = "");

// The answers to questions from now on; nullopt = the default.
void SetConfirmAnswer(std::optional<bool> yes);
// A prompt's answer; nullopt = cancelled.
void SetPromptAnswer(std::optional<std::string> answer);
// A generic popup's button (1..3); nullopt = the default above.
void SetGenericAnswer(std::optional<int> button);

}  // namespace ui::console
