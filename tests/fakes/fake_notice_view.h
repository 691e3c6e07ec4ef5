#pragma once

#include "shell/notice_view.h"

#include <algorithm>
#include <string>

namespace corvane::testing {

// The notice window in memory. Text is measured as if every character were
// 105 twips wide and every line 195 high, wrapped at nothing but line feeds.
class FakeNoticeView : public NoticeView {
public:
    static constexpr int kCharWidth = 105;
    static constexpr int kLineHeight = 195;

    void setEvents(NoticeEvents* e) override { events = e; }
    void setCaption(const std::string& title) override { caption = title; }
    Size setText(const std::string& value, int minWidth) override {
        text = value;
        std::size_t longest = 0;
        int lines = 1;
        std::size_t start = 0;
        for (std::size_t end = value.find('\n'); end != std::string::npos; end = value.find('\n', start)) {
            longest = std::max(longest, end - start);
            start = end + 1;
            ++lines;
        }
        longest = std::max(longest, value.size() - start);
        return {std::max(minWidth, static_cast<int>(longest) * kCharWidth), lines * kLineHeight};
    }
    void setTextCentred(bool centred) override { textCentred = centred; }
    int buttonHeight() const override { return 375; }
    int buttonWidth() const override { return 1215; }
    int creditWidth() const override { return 2400; }
    void setWindowSize(int w, int h) override { window = {w, h}; }
    void placeLabel(int left, int top, int w, int h) override { label = {left, top, w, h}; }
    void placeButton(int left, int top) override { button = {left, top}; }
    void placeCredit(int left, int top) override { credit = {left, top}; }
    void setCreditVisible(bool visible) override { creditVisible = visible; }
    void showWindow(bool takeFocus) override {
        shown = true;
        tookFocus = takeFocus;
        ++timesShown;
    }
    void hideWindow() override { shown = false; }
    void destroyWindow() override {
        shown = false;
        ++destroyed;
    }
    bool isShown() const override { return shown; }

    struct Rect {
        int left = 0;
        int top = 0;
        int width = 0;
        int height = 0;
    };
    struct Point {
        int left = 0;
        int top = 0;
    };

    NoticeEvents* events = nullptr;
    std::string caption;
    std::string text;
    bool textCentred = false;
    Size window;
    Rect label;
    Point button;
    Point credit;
    bool creditVisible = false;
    bool shown = false;
    bool tookFocus = false;
    int timesShown = 0;
    int destroyed = 0;
};

} // namespace corvane::testing
