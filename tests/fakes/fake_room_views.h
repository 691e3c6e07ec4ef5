#pragma once

#include "platform/picture_reader.h"
#include "room/direction_view.h"
#include "room/picture_view.h"
#include "room/walk_view.h"

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace corvane::testing {

class FakePicture : public Picture {
public:
    FakePicture(std::string source, int width, int height)
        : path(std::move(source))
        , w(width)
        , h(height) {}
    int width() const override { return w; }
    int height() const override { return h; }
    std::string path;
    int w;
    int h;
};

// Reads a file as a picture when it holds the text "picture", else fails as a
// real decoder fails on a file that is no picture. Records every path read.
class FakePictureReader : public PictureReader {
public:
    std::unique_ptr<Picture> read(const std::string& path) override {
        paths.push_back(path);
        std::ifstream file(path, std::ios::binary);
        const std::string content((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        if (content.rfind("picture", 0) != 0) {
            return nullptr;
        }
        return std::make_unique<FakePicture>(path, 64, 48);
    }
    std::vector<std::string> paths;
};

class FakePictureView : public PictureView {
public:
    void setEvents(PictureEvents* e) override { events = e; }
    void setPicture(std::unique_ptr<Picture> p) override {
        auto* fake = dynamic_cast<FakePicture*>(p.get());
        picturePath = fake != nullptr ? fake->path : std::string();
    }
    void setRoomName(const std::string& name) override { roomName = name; }
    void showWindow() override {
        shown = true;
        ++shows;
    }
    void hideWindow() override { shown = false; }

    PictureEvents* events = nullptr;
    std::string picturePath;
    std::string roomName;
    bool shown = false;
    int shows = 0;
};

class FakeDirectionView : public DirectionView {
public:
    void setEvents(DirectionEvents* e) override { events = e; }
    void setTopmost(bool on) override { topmost = on; }
    void showWindow() override {
        shown = true;
        ++shows;
    }
    void hideWindow() override { shown = false; }

    DirectionEvents* events = nullptr;
    bool topmost = false;
    bool shown = false;
    int shows = 0;
};

class FakeWalkView : public WalkView {
public:
    void setEvents(WalkEvents* e) override { events = e; }
    void setCaption(const std::string& text) override { caption = text; }
    std::string intervalText() const override { return interval; }
    void setIntervalText(const std::string& text) override { interval = text; }
    void setIntervalVisible(bool visible) override { intervalVisible = visible; }
    void setWalkButtonCaption(const std::string& text) override { walkButton = text; }
    void setPrompt(const std::string& text, bool isCentred) override {
        prompt = text;
        centred = isCentred;
    }
    void setNote(const std::string& text) override { note = text; }
    void setTopmost(bool on) override { topmost = on; }
    void showWindow() override { shown = true; }
    void hideWindow() override { shown = false; }

    WalkEvents* events = nullptr;
    std::string caption;
    std::string interval;
    bool intervalVisible = true;
    std::string walkButton;
    std::string prompt;
    bool centred = false;
    std::string note;
    bool topmost = false;
    bool shown = false;
};

} // namespace corvane::testing
