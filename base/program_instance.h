// What the colour dialog needs of the windowing toolkit (app/toolkit.h): the
// program's own instance handle, and nothing else of the window.
#pragma once

#include <windows.h>

namespace varnelo {

class ProgramInstance {
 public:
  virtual ~ProgramInstance() = default;

  // The running program's module handle, as the toolkit reports it. May
  // throw the toolkit's error when it cannot.
  virtual HINSTANCE InstanceHandle() const = 0;
};

}  // namespace varnelo
