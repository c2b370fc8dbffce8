#pragma once
// The engine's part of the one way up (values/session_link.h): the engine
// answers the local-name question from the calls' bindings, whoever links
// the interpreter. An interpreter starts with one of these, which does
// nothing else; the session's link and the links of tests build on it.
#include <cstdint>

#include "values/session_link.h"

namespace wox {
class Interpreter;
}

namespace wox::engine {

class InterpreterLink : public values::NoSession {
public:
    explicit InterpreterLink(const Interpreter& in) : in_(in) {}
    bool localNamed(int slot, std::int32_t name) final;

private:
    const Interpreter& in_;
};

}  // namespace wox::engine
