#pragma once

#include "platform/Form.h"

namespace vistorel {

class Program;

// The add text window: title, file and description of a library entry, added or replaced.
class AddTextWindow : public Form {
public:
    explicit AddTextWindow(Program& program);

    // Puts a file path into the path field, so that the next entry stored starts with it.
    void SetFilePath(const QString& path);

private:
    Program& program;
};

}  // namespace vistorel
