// The popups of the data-file readers (Tolvan_G.Uir): loaded at every read,
// shown modally with the wait cursor, asked after every line whether the
// operator pressed stop, and removed when the read ends.
#pragma once

namespace toolvane {

inline constexpr char kToolPanelFile[] = "Tolvan_G.Uir";
inline constexpr char kToolPanelFolder[] = "P:\\Toolvane\\LWCVI\\";

enum class PanelLookup {
    BareNameFirst,        // the bare name, then the fixed folder
    SearchCurrentFolder,  // the bare name only when the current folder holds the file, else the fixed folder
};

// Loads panel panelId of the tools' resource file; a handle > 0, or <= 0
// when no copy of the file has it.
int LoadToolPanel(int panelId, PanelLookup lookup);

class ReaderPopup {
public:
    ReaderPopup(int panelId, int stopControl, PanelLookup lookup);
    ~ReaderPopup();  // clears the wait cursor, removes and discards the popup
    ReaderPopup(const ReaderPopup &) = delete;
    ReaderPopup &operator=(const ReaderPopup &) = delete;

    // 0 when no panel could be loaded: the read goes on without a popup.
    int Panel() const { return panel_; }
    // Shows the popup modally (when loaded) and the wait cursor.
    void Show();
    // Looks for a user event without waiting; true once stop was committed
    // (its button, or the window's close button).
    bool StopRequested();

private:
    int panel_ = 0;
    int stop_ = 0;
    bool shown_ = false;
    bool waitCursor_ = false;
    bool stopped_ = false;
};

}  // namespace toolvane
