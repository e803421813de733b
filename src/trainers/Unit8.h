#pragma once

#include "platform/Form.h"

namespace vistorel {

class Program;

// The reading speed test: reading time of the text's beginning in words per minute.
class TForm8 : public Form {
public:
    explicit TForm8(Program& program);

private:
    Program& program;
};

}  // namespace vistorel
