#pragma once

#include "platform/clock.h"
#include "script/script_state_view.h"

#include <functional>
#include <memory>

namespace corvane {

class ScriptSystem;

// The Variables and Timers windows: what the connected world's scripts hold
// now, read again on Refresh and after each change made here.
class ScriptStatePresenter : public ScriptStateEvents {
public:
    using Kind = ScriptStateView::Kind;
    ScriptStatePresenter(ScriptStateView& view, ScriptSystem& scripts, const Clock& clock, Kind kind);

    void open();
    void onRowSelected(int row) override;
    void onSet() override;
    void onRemove() override;
    void onRefresh() override;
    void onClosed() override {}

private:
    void refresh();

    ScriptStateView& m_view;
    ScriptSystem& m_scripts;
    const Clock& m_clock;
    Kind m_kind;
    std::vector<ScriptStateView::Row> m_rows;
    std::vector<int> m_handles;
};

// One window of each kind at a time, made by the factory when first opened.
class ScriptStateWindows {
public:
    using ViewFactory = std::function<std::unique_ptr<ScriptStateView>()>;
    ScriptStateWindows(ScriptSystem& scripts, const Clock& clock)
        : m_scripts(scripts)
        , m_clock(clock) {}
    void setViewFactory(ViewFactory factory) { m_factory = std::move(factory); }
    void open(ScriptStateView::Kind kind);
    ScriptStatePresenter* presenter(ScriptStateView::Kind kind) { return m_windows[index(kind)].presenter.get(); }

private:
    static std::size_t index(ScriptStateView::Kind kind) { return kind == ScriptStateView::Kind::Timers ? 1 : 0; }
    struct Window {
        std::unique_ptr<ScriptStateView> view;
        std::unique_ptr<ScriptStatePresenter> presenter;
    };
    ScriptSystem& m_scripts;
    const Clock& m_clock;
    ViewFactory m_factory;
    Window m_windows[2];
};

} // namespace corvane
