// Reads (and so clears) the calling thread's error information in tests.
#pragma once

#include <quillet/ole.h>

#include <string>

#include "runtime/bstr.h"
#include "runtime/com_ptr.h"

namespace quillet::testing {

struct ThreadErrorInfo {
  bool present = false;
  std::u16string source;
  std::u16string description;
  std::u16string helpFile;
  DWORD helpContext = 0;
  GUID guid{};
};

inline ThreadErrorInfo TakeErrorInfo() {
  ThreadErrorInfo result;
  ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, info.put()) != S_OK || !info) return result;
  result.present = true;
  BString text;
  info->GetSource(text.put());
  result.source = text.Text();
  info->GetDescription(text.put());
  result.description = text.Text();
  info->GetHelpFile(text.put());
  result.helpFile = text.Text();
  info->GetHelpContext(&result.helpContext);
  info->GetGUID(&result.guid);
  return result;
}

// Leaves error information as a failing host method would.
inline void LeaveErrorInfo(std::u16string_view description, std::u16string_view source = {},
                           std::u16string_view helpFile = {}, DWORD helpContext = 0) {
  ComPtr<ICreateErrorInfo> created;
  CreateErrorInfo(created.put());
  BString text(description);
  created->SetDescription(text.get());
  text = BString(source);
  created->SetSource(text.get());
  text = BString(helpFile);
  created->SetHelpFile(text.get());
  created->SetHelpContext(helpContext);
  const auto info = created.Query<IErrorInfo>(IID_IErrorInfo);
  SetErrorInfo(0, info.get());
}

}  // namespace quillet::testing
