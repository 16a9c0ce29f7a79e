// TPlugin::MenuClick: the module's one menu command. Each choice reads the
// current log's settings afresh, so a change of log in the host between
// two choices is seen by the next dialog.
#include <memory>
#include <string>
#include <string_view>

#include "dialog/import_dialog.h"
#include "frame/exception_family.h"
#include "frame/plugin.h"
#include "frame/str_to_date_time.h"
#include "hostcalls/host_calls.h"
#include "platform/clock.h"

namespace quillet {
namespace {

constexpr char16_t kDialogCaption[] = u"Append ADIF data into current log";
constexpr char16_t kSettingsSection[] = u"ADIF Import";
constexpr char16_t kSourceFilter[] = u"ADIF files|*.adif;*.adi";

}  // namespace

void TPlugin::MenuClick(TPluginMenuItem& /*sender*/) {
  // Construction does not insist on IHostKernel; the command cannot run
  // without it.
  if (!Kernel) throw EUnsupportedCore(kUnsupportedCoreMessage);
  const auto dialog = std::make_unique<TfrmQuillet>(Core.get());
  dialog->SetCaption(kDialogCaption);
  dialog->HostKernel = Kernel;
  dialog->HostServer = Server;
  dialog->IniPath = host_calls::GetVariable(Kernel.get(), u"APPINI");
  dialog->IniSection = kSettingsSection;
  dialog->LogCloseDate =
      StrToDateTime(host_calls::GetVariable(Kernel.get(), u"LOG.EXPIRE"), LocaleShortFormats());
  dialog->LogOperator = host_calls::GetVariable(Kernel.get(), u"LOG.OPERATOR");
  dialog->LogName = host_calls::GetVariable(Kernel.get(), u"LOG.TABLE");
  dialog->dlgSource.Filter = kSourceFilter;
  dialog->dlgSource.FilterIndex = 1;
  dialog->ShowModal();
}

}  // namespace quillet
