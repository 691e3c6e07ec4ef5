#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

struct lua_State;
struct lua_Debug;

namespace corvane {

// One sandboxed Lua state: opened with only the libraries a world's script
// may use, held to kMemoryLimit by its allocator and to kTimeLimit per call
// from the client by an instruction-count hook, closed when it goes.
// Errors come back as one line naming the chunk and line.
class LuaState {
public:
    static constexpr std::size_t kMemoryLimit = std::size_t{64} * 1024 * 1024;
    static constexpr std::chrono::milliseconds kTimeLimit{100};

    // `owner` is handed back to the API functions (see Owner()).
    explicit LuaState(void* owner = nullptr);
    ~LuaState();
    LuaState(const LuaState&) = delete;
    LuaState& operator=(const LuaState&) = delete;

    lua_State* L() const { return m_L; }
    static void* Owner(lua_State* L);

    // Compiles and runs text as the chunk `name`; the error line, or empty.
    std::string run(std::string_view code, const std::string& name);
    // Compiles text as the chunk `name` and leaves the function on the
    // stack; the error line (nothing pushed), or empty.
    std::string load(std::string_view code, const std::string& name);
    // Calls the function below its `arguments` on the stack, within the time
    // and memory limits; the error line, or empty. Nothing is left behind.
    std::string call(int arguments);
    // Runs `function(L)` under the limits with `data` as its one argument (a
    // light userdata): everything that may allocate in the state goes through
    // here or call(), as a failed allocation elsewhere would end the program.
    std::string protect(int (*function)(lua_State*), void* data);
    // A syntax check only, in a state of its own: the error line, or empty.
    static std::string Compile(std::string_view code, const std::string& name);

    std::size_t memoryUsed() const { return m_used; }

private:
    static void* allocate(void* self, void* block, std::size_t oldSize, std::size_t newSize);
    static void countHook(lua_State* L, lua_Debug* where);
    void sandbox();
    std::string errorLine(int status);

    lua_State* m_L = nullptr;
    void* m_owner = nullptr;
    std::size_t m_used = 0;
    int m_depth = 0;
    bool m_overTime = false;
    std::chrono::steady_clock::time_point m_deadline{};
};

// The error text on one line: line ends become blanks.
std::string OneLine(std::string text);

} // namespace corvane
