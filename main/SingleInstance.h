// One running copy per logon session, held by a named mutex that lives as
// long as this object (the whole run of the program).
#pragma once

#include "ui/Handles.h"

class SingleInstance {
  public:
    explicit SingleInstance(const wchar_t* mutexName);
    // False when another instance holds the name: this one must end silently.
    bool IsFirst() const { return first_; }

  private:
    ui::UniqueHandle mutex_;
    bool first_ = false;
};
