// FormatTime on Windows: the locale's date and time functions for ten-digit stamps, the
// "ScriptControl" object with JScript for every other length. COM is initialised and
// uninitialised in one balanced pair per call, on every path.
#include <windows.h>
#include <oleauto.h>
#include <ole2.h>

#include "base/codepage.h"
#include "resolver/display/display_format.h"

namespace display {
namespace {

struct ComScope {
  HRESULT hr = CoInitialize(nullptr);
  ~ComScope() {
    if (SUCCEEDED(hr)) CoUninitialize();
  }
};

std::string Narrow(const wchar_t* text) {
  const auto* units = reinterpret_cast<const char16_t*>(text);
  return base::FromUtf16(std::u16string_view(units), base::CodePage::kGbk);
}

bool TwelveHourClock() {
  wchar_t value[8] = {};
  if (GetLocaleInfoW(0, LOCALE_ITIME, value, 8) <= 0) return false;
  return _wtoi(value) == 0;
}

std::string FormatTenDigits(std::string_view seconds) {
  SYSTEMTIME st;
  if (!VariantTimeToSystemTime(UnixSecondsToUtc8VariantTime(ParseStampSeconds(seconds)), &st)) {
    return {};
  }
  wchar_t date[50] = {}, time[50] = {};
  GetDateFormatW(0, 0, &st, L"yyyy-M-dd ", date, 50);
  GetTimeFormatW(0, 0, &st, TwelveHourClock() ? L"hh:mm:ss" : L"HH:mm:ss", time, 50);
  return Narrow(date) + Narrow(time);
}

// IDispatch call by name; result may be null.
HRESULT Call(IDispatch* object, const wchar_t* name, WORD kind, VARIANT* args, UINT count,
             VARIANT* result) {
  DISPID id;
  LPOLESTR member = const_cast<LPOLESTR>(name);
  HRESULT hr = object->GetIDsOfNames(IID_NULL, &member, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) return hr;
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params = {args, kind == DISPATCH_PROPERTYPUT ? &named : nullptr, count,
                       kind == DISPATCH_PROPERTYPUT ? 1u : 0u};
  return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &params, result, nullptr, nullptr);
}

class Variant {
 public:
  Variant() { VariantInit(&v_); }
  explicit Variant(const std::wstring& text) {
    VariantInit(&v_);
    v_.vt = VT_BSTR;
    v_.bstrVal = SysAllocString(text.c_str());
  }
  ~Variant() { VariantClear(&v_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  VARIANT* get() { return &v_; }

 private:
  VARIANT v_;
};

// Runs timea() in JScript and returns the text of the Date it gives back.
std::wstring ScriptDateText(IDispatch* script, std::string_view seconds) {
  Variant language(L"JScript");
  if (FAILED(Call(script, L"Language", DISPATCH_PROPERTYPUT, language.get(), 1, nullptr))) return {};
  std::u16string stamp = base::ToUtf16(seconds, base::CodePage::kGbk);
  std::wstring statement = L"function timea(){var d,s;d=new Date();d.setTime('" +
                           std::wstring(stamp.begin(), stamp.end()) + L"');return(d);}";
  Variant code(statement);
  if (FAILED(Call(script, L"ExecuteStatement", DISPATCH_METHOD, code.get(), 1, nullptr))) return {};

  // Run(name, ParamArray): the parameter array must be passed, even empty.
  SAFEARRAY* none = SafeArrayCreateVector(VT_VARIANT, 0, 0);
  Variant args[2];  // reverse order: args[1] is the name, args[0] the parameter array
  args[0].get()->vt = VT_ARRAY | VT_VARIANT;
  args[0].get()->parray = none;
  args[1].get()->vt = VT_BSTR;
  args[1].get()->bstrVal = SysAllocString(L"timea");
  Variant result;
  if (FAILED(Call(script, L"Run", DISPATCH_METHOD, args[0].get(), 2, result.get()))) return {};
  // Variant's destructor frees args' BSTR and the array; Call never takes ownership.
  if (FAILED(VariantChangeType(result.get(), result.get(), 0, VT_BSTR)) || !result.get()->bstrVal) {
    return {};
  }
  return std::wstring(result.get()->bstrVal, SysStringLen(result.get()->bstrVal));
}

std::string FormatThroughScript(std::string_view seconds) {
  CLSID clsid;
  if (FAILED(CLSIDFromProgID(L"ScriptControl", &clsid))) return {};
  IDispatch* script = nullptr;
  if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                              IID_IDispatch, reinterpret_cast<void**>(&script)))) {
    return {};
  }
  std::wstring text = ScriptDateText(script, seconds);
  script->Release();
  return AssembleScriptDate(Narrow(text.c_str()));
}

}  // namespace

std::string FormatTime(std::string_view seconds) {
  ComScope com;
  if (seconds.size() == 10) return FormatTenDigits(seconds);
  return FormatThroughScript(seconds);
}

}  // namespace display
