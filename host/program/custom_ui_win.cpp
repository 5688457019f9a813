#include "program/custom_ui_win.h"

#include <msxml2.h>
#include <wrl/client.h>

#include <set>

using Microsoft::WRL::ComPtr;

namespace host {

namespace {

// MSXML 6.0's document, which Office parses customUI with.
constexpr CLSID kClsidDomDocument60 = {
    0x88d96a05, 0xf192, 0x11d4, {0xa6, 0x5f, 0x00, 0x40, 0x96, 0x32, 0x51, 0xe5}};
constexpr IID kIidDomDocument2 = {
    0x2933BF95, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
constexpr wchar_t kNamespace2009[] = L"http://schemas.microsoft.com/office/2009/07/customui";
constexpr wchar_t kNamespace2006[] = L"http://schemas.microsoft.com/office/2006/01/customui";

// The built-in places of the mail client an add-in may extend here.
const std::set<std::wstring> kTabs = {L"TabMail", L"TabCalendar", L"TabContacts", L"TabTasks", L"TabAddIns",
                                      L"TabContact", L"TabReadMessage", L"TabNewMailMessage"};
const std::set<std::wstring> kContextMenus = {L"ContextMenuContactItem", L"ContextMenuMailItem",
                                              L"ContextMenuCalendarItem", L"ContextMenuMultipleItems"};
const wchar_t* const kCallbackAttributes[] = {L"onAction", L"getImage", L"getLabel", L"getEnabled",
                                              L"getVisible", L"getScreentip", L"getSupertip", L"getKeytip",
                                              L"getSize", L"onLoad", L"loadImage"};

class Bstr {
 public:
  explicit Bstr(const wchar_t* text) : value_(SysAllocString(text)) {}
  Bstr() = default;
  ~Bstr() { SysFreeString(value_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR* Out() { return &value_; }
  BSTR Get() const { return value_; }
  std::wstring Text() const { return value_ ? std::wstring(value_, SysStringLen(value_)) : std::wstring(); }

 private:
  BSTR value_ = nullptr;
};

VARIANT Text(BSTR text) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = text;
  return v;
}

std::wstring Attribute(IXMLDOMNode* node, const wchar_t* name) {
  ComPtr<IXMLDOMElement> element;
  if (FAILED(node->QueryInterface(IID_IXMLDOMElement, reinterpret_cast<void**>(element.GetAddressOf())))) return {};
  Bstr attribute(name);
  VARIANT value;
  VariantInit(&value);
  if (element->getAttribute(attribute.Get(), &value) != S_OK || value.vt != VT_BSTR) return {};
  std::wstring text(value.bstrVal, SysStringLen(value.bstrVal));
  VariantClear(&value);
  return text;
}

std::vector<ComPtr<IXMLDOMNode>> Select(IXMLDOMNode* from, const wchar_t* path) {
  std::vector<ComPtr<IXMLDOMNode>> nodes;
  Bstr query(path);
  ComPtr<IXMLDOMNodeList> list;
  if (FAILED(from->selectNodes(query.Get(), &list)) || !list) return nodes;
  ComPtr<IXMLDOMNode> node;
  while (list->nextNode(node.ReleaseAndGetAddressOf()) == S_OK && node) nodes.push_back(node);
  return nodes;
}

std::wstring Hex(HRESULT hr) {
  wchar_t text[16];
  swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(hr));
  return text;
}

CustomUiGroup GroupOf(IXMLDOMNode* group, const std::wstring& place) {
  CustomUiGroup result{place, Attribute(group, L"id"), Attribute(group, L"label"), {}};
  for (const auto& button : Select(group, L"c:button")) {
    result.buttons.push_back({Attribute(button.Get(), L"id"), Attribute(button.Get(), L"tag"),
                              Attribute(button.Get(), L"label"), Attribute(button.Get(), L"screentip"),
                              Attribute(button.Get(), L"supertip"), Attribute(button.Get(), L"keytip"),
                              Attribute(button.Get(), L"onAction"), Attribute(button.Get(), L"getImage"),
                              Attribute(button.Get(), L"size") == L"large", Attribute(button.Get(), L"getEnabled")});
  }
  return result;
}

}  // namespace

std::optional<CustomUi> LoadCustomUi(const std::wstring& xml, IDispatch* addin, std::vector<std::wstring>& errors) {
  ComPtr<IXMLDOMDocument2> document;
  HRESULT hr = CoCreateInstance(kClsidDomDocument60, nullptr, CLSCTX_INPROC_SERVER, kIidDomDocument2,
                                reinterpret_cast<void**>(document.GetAddressOf()));
  if (FAILED(hr)) {
    errors.push_back(L"Error Code " + Hex(hr) + L": the XML parser is not available");
    return std::nullopt;
  }
  document->put_async(VARIANT_FALSE);
  Bstr text(xml.c_str());
  VARIANT_BOOL loaded = VARIANT_FALSE;
  if (document->loadXML(text.Get(), &loaded) != S_OK || !loaded) {
    ComPtr<IXMLDOMParseError> parseError;
    long line = 0, column = 0, code = 0;
    Bstr reason;
    if (SUCCEEDED(document->get_parseError(&parseError))) {
      parseError->get_line(&line);
      parseError->get_linepos(&column);
      parseError->get_errorCode(&code);
      parseError->get_reason(reason.Out());
    }
    // Wine's parser gives no position for some errors.
    const std::wstring where =
        line > 0 ? L"Line: " + std::to_wstring(line) + L" Column: " + std::to_wstring(column) + L" " : L"";
    errors.push_back(where + L"Error Code " + Hex(code) + L": the document is not well-formed XML: " +
                     reason.Text());
    return std::nullopt;
  }
  ComPtr<IXMLDOMElement> root;
  Bstr rootNamespace, rootName;
  if (FAILED(document->get_documentElement(&root)) || !root) return std::nullopt;
  root->get_namespaceURI(rootNamespace.Out());
  root->get_baseName(rootName.Out());
  const std::wstring ns = rootNamespace.Text();
  if (rootName.Text() != L"customUI" || (ns != kNamespace2009 && ns != kNamespace2006)) {
    errors.push_back(L"Error Code 0x80004005: the root element is not customUI of a customUI namespace: {" + ns +
                     L"}" + rootName.Text());
    return std::nullopt;
  }
  Bstr language(L"SelectionLanguage"), namespaces(L"SelectionNamespaces"), xpath(L"XPath");
  const std::wstring prefix = L"xmlns:c='" + ns + L"'";
  Bstr prefixText(prefix.c_str());
  document->setProperty(language.Get(), Text(xpath.Get()));
  document->setProperty(namespaces.Get(), Text(prefixText.Get()));

  for (const auto& tab : Select(document.Get(), L"//c:tab[@idMso]")) {
    const std::wstring id = Attribute(tab.Get(), L"idMso");
    if (!kTabs.count(id)) errors.push_back(L"Error Code 0x80004005: Unknown Office control ID: " + id);
  }
  for (const auto& menu : Select(document.Get(), L"//c:contextMenu")) {
    const std::wstring id = Attribute(menu.Get(), L"idMso");
    if (!kContextMenus.count(id)) errors.push_back(L"Error Code 0x80004005: Unknown Office control ID: " + id);
  }
  std::set<std::wstring> ids;
  for (const auto& node : Select(document.Get(), L"//*[@id]")) {
    const std::wstring id = Attribute(node.Get(), L"id");
    if (!ids.insert(id).second) {
      errors.push_back(L"Error Code 0x80004005: The ID \"" + id + L"\" is used more than once");
    }
  }
  std::set<std::wstring> checked;
  for (const wchar_t* attribute : kCallbackAttributes) {
    const std::wstring path = std::wstring(L"//*[@") + attribute + L"]";
    for (const auto& node : Select(document.Get(), path.c_str())) {
      std::wstring name = Attribute(node.Get(), attribute);
      if (!checked.insert(name).second) continue;
      LPOLESTR names[] = {name.data()};
      DISPID dispid = DISPID_UNKNOWN;
      const HRESULT found = addin ? addin->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &dispid)
                                  : E_NOINTERFACE;
      if (FAILED(found)) {
        errors.push_back(L"Error Code " + Hex(found) + L": The callback function \"" + name +
                         L"\" was not found in the add-in");
      }
    }
  }
  if (!errors.empty()) return std::nullopt;

  CustomUi ui;
  for (const auto& root : Select(document.Get(), L"/c:customUI")) ui.onLoad = Attribute(root.Get(), L"onLoad");
  for (const auto& tab : Select(document.Get(), L"//c:tab[@idMso]")) {
    for (const auto& group : Select(tab.Get(), L"c:group")) {
      ui.groups.push_back(GroupOf(group.Get(), Attribute(tab.Get(), L"idMso")));
    }
  }
  for (const auto& menu : Select(document.Get(), L"//c:contextMenu")) {
    ui.contextMenus.push_back(GroupOf(menu.Get(), Attribute(menu.Get(), L"idMso")));
  }
  return ui;
}

}  // namespace host
