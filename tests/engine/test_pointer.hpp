#pragma once
// A cursor that goes where the test puts it.

#include "engine/pointer.hpp"

namespace mw::test {

class TestPointer final : public IPointer {
public:
    bool ReadCursor(int& x, int& y) override {
        ++reads;
        if (!readable) return false;
        x = cursorX;
        y = cursorY;
        return true;
    }
    bool SetCursor(int x, int y) override {
        cursorX = x;
        cursorY = y;
        return true;
    }
    ScreenRect Screen() override { return screen; }
    int cursorX = 0;
    int cursorY = 0;
    bool readable = true;
    ScreenRect screen{0, 0, 1920, 1080};
    int reads = 0;
};

} // namespace mw::test
