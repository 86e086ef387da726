#pragma once
// The cursor as the program sees it: read, set, and the screen rectangle it moves in.

namespace mw {

struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 1920; // exclusive
    int bottom = 1080;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

class IPointer {
public:
    virtual ~IPointer() = default;
    /// Current cursor position in screen coordinates; false when it cannot be read.
    virtual bool ReadCursor(int& x, int& y) = 0;
    /// Moves the cursor (edge wrapping); false when not possible.
    virtual bool SetCursor(int x, int y) = 0;
    /// The rectangle the cursor moves in (all monitors).
    virtual ScreenRect Screen() = 0;
};

} // namespace mw
