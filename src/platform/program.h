#pragma once

namespace corvane {

// Ending the program from inside the behaviour (a command-line connection ends
// the program when it is over).
class Program {
public:
    virtual ~Program() = default;
    virtual void exit(int code) = 0;
};

} // namespace corvane
