#include "shell/window_placement.h"

#include <algorithm>
#include <charconv>
#include <vector>

namespace corvane {

namespace {

// The cascade's step, and how many steps before it starts again at the top.
constexpr int kCascadeStep = 28;
constexpr int kCascadeSteps = 6;

bool ClearOf(const PlaceRect& rect, const PlacementScene& scene) {
    return scene.screen.contains(rect) && !rect.overlaps(scene.menuBar) && !rect.overlaps(scene.inputLine);
}

int Step(int opened) {
    return kCascadeStep * (opened % kCascadeSteps);
}

// A column beside the main window from x to x + room.
PlaceRect InColumn(const PlacementScene& scene, int x, int room, int width, int height, int opened,
                   bool alignRight) {
    const int w = std::min(width, room);
    const int h = std::min(height, scene.screen.height);
    const int left = alignRight ? x + room - w : x;
    const int top = std::clamp(scene.main.y + Step(opened), scene.screen.y, scene.screen.bottom() - h);
    return {left, top, w, h};
}

} // namespace

PlaceRect PlaceOwnWindow(const PlacementScene& scene, int wantedWidth, int wantedHeight, int leastWidth,
                         int leastHeight, int opened, const std::optional<PlaceRect>& remembered) {
    const int width = std::clamp(wantedWidth, 1, std::max(1, scene.screen.width));
    const int height = std::clamp(wantedHeight, 1, std::max(1, scene.screen.height));
    if (remembered && !remembered->empty()) {
        const PlaceRect again{remembered->x + Step(opened), remembered->y + Step(opened), remembered->width,
                              remembered->height};
        if (ClearOf(again, scene)) {
            return again;
        }
        if (ClearOf(*remembered, scene)) {
            return *remembered;
        }
    }
    const int least = std::max(1, std::min(leastWidth, width));
    const int rightRoom = scene.screen.right() - std::max(scene.main.right(), scene.screen.x);
    const int leftRoom = std::min(scene.main.x, scene.screen.right()) - scene.screen.x;
    if (rightRoom >= least && rightRoom >= leftRoom) {
        return InColumn(scene, scene.screen.right() - rightRoom, rightRoom, width, height, opened, false);
    }
    if (leftRoom >= least) {
        return InColumn(scene, scene.screen.x, leftRoom, width, height, opened, true);
    }
    if (rightRoom >= least) {
        return InColumn(scene, scene.screen.right() - rightRoom, rightRoom, width, height, opened, false);
    }
    // Over the output area, from its top down to a third above its foot,
    // so the newest lines and the input line below stay in view.
    const PlaceRect& out = scene.output;
    const int top = std::max(out.y, scene.menuBar.bottom());
    const int floor = std::min(out.bottom(), scene.inputLine.empty() ? out.bottom() : scene.inputLine.y);
    const int upper = std::max(leastHeight, (floor - top) * 2 / 3);
    const int h = std::max(1, std::min({height, upper, floor - top}));
    const int w = std::max(1, std::min(width, out.width));
    const int step = Step(opened);
    const int x =
        std::clamp(out.x + step, scene.screen.x, std::max(scene.screen.x, scene.screen.right() - w));
    const int y = std::clamp(top + step, top, std::max(top, floor - h));
    return {x, y, w, h};
}

std::string PlaceText(const PlaceRect& rect) {
    return std::to_string(rect.x) + "," + std::to_string(rect.y) + "," + std::to_string(rect.width) + "," +
           std::to_string(rect.height);
}

std::optional<PlaceRect> ParsePlace(const std::string& text) {
    std::vector<int> numbers;
    const char* at = text.data();
    const char* end = text.data() + text.size();
    while (at < end && numbers.size() < 5) {
        int value = 0;
        const auto [next, error] = std::from_chars(at, end, value);
        if (error != std::errc()) {
            return std::nullopt;
        }
        numbers.push_back(value);
        at = next;
        if (at < end) {
            if (*at != ',') {
                return std::nullopt;
            }
            ++at;
        }
    }
    if (numbers.size() != 4 || numbers[2] <= 0 || numbers[3] <= 0) {
        return std::nullopt;
    }
    return PlaceRect{numbers[0], numbers[1], numbers[2], numbers[3]};
}

} // namespace corvane
