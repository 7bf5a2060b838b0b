// Coverage-guided fuzzing of the Reg routines and Form1's handlers over the
// in-memory registry. Each input builds a registry tree, starts the window,
// and runs a sequence of colour choices, applies, registry changes made
// behind the window's back, and direct Reg calls with odd arguments. After
// every step the contracts are checked against a fresh snapshot of the tree:
// what each routine returns, what the window holds and shows, which values
// were written, that nothing else changed and that no key was left open.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/form1.h"
#include "fake_commdlg.h"
#include "memreg.h"
#include "registry/scoped_key.h"
#include "registry_view.h"
#include "support/messenger.h"
#include "support/recording_toolkit.h"

using namespace testing_support::messenger;

namespace {

using fuzz::Tree;
using varnelo::ColorValue;
using varnelo::LabelId;

constexpr char kNotFound[] = "Error";
constexpr std::size_t kNever = static_cast<std::size_t>(1)
                               << 40;  // an armed failure that never fires

// Bytes outside printable ASCII as \xNN, so a report shows odd names whole.
std::string Escape(const std::string& text) {
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 0x20 && byte < 0x7F) || c == '\n') {
      out += c;
    } else {
      static constexpr char kHex[] = "0123456789ABCDEF";
      out += "\\x";
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    }
  }
  return out;
}

[[noreturn]] void Broken(const std::string& what) {
  std::fprintf(stderr, "contract broken: %s\n", Escape(what).c_str());
  std::abort();
}

void Check(bool holds, const std::string& what) {
  if (!holds) Broken(what);
}

std::string Join(const std::vector<std::string>& names) {
  std::string path;
  for (const auto& name : names) path += (path.empty() ? "" : "\\") + name;
  return path;
}

std::string Text(const Reg::RegData& data) { return Reg::RegDataText(data); }

ColorValue ToColor(const std::string& decimal) { return *fuzz::DecimalToInt32(decimal); }

std::string Names(const std::vector<std::string>& names) {
  std::string out;
  for (const auto& name : names) out += "<" + name + "> ";
  return out;
}

class Session {
 public:
  explicit Session(FuzzedDataProvider& input) : in_(input) {}

  void Run() {
    memreg::Reset();
    fakecc::Reset();
    Check(memreg::OpenKeyCount() == 0, "a key was left open by an earlier input");

    const int changes = in_.ConsumeIntegralInRange(0, 24);
    for (int i = 0; i < changes; ++i) {
      switch (in_.ConsumeIntegralInRange(0, 3)) {
        case 0:
        case 1: SetColor(); break;
        case 2: ChangeRegistry(); break;
        default: AddAccounts(); break;
      }
    }
    if (!FormLoad()) return;

    for (int step = 0; step < 48 && in_.remaining_bytes() > 0; ++step) {
      bool running = true;
      switch (in_.ConsumeIntegralInRange(0, 11)) {
        case 0:
        case 1: running = Choose(); break;
        case 2:
        case 3: running = Apply(); break;
        case 4:
        case 5: ChangeRegistry(); break;
        case 6: DirectRead(); break;
        case 7: DirectWrite(); break;
        case 8: DirectList(); break;
        case 9: AddAccounts(); break;
        case 10: SetColor(); break;
        default: running = Close(); break;
      }
      if (!running) return;
    }
  }

 private:
  // ---- picking odd data ---------------------------------------------------

  // Account names: e-mail-like, double-byte-like (lead bytes 0x81-0x9F and
  // 0xE0-0xFC), lengths at the edges (208 fits the 260-character path, 255
  // and 256 the name limits), or raw bytes. Never a backslash or zero byte.
  std::string PickAccountName() {
    std::string name;
    switch (in_.ConsumeIntegralInRange(0, 4)) {
      case 0: {
        static constexpr char kAlphabet[] = "abcXYZ019_.@-[]`~";
        const std::size_t length = in_.ConsumeIntegralInRange<std::size_t>(1, 16);
        for (std::size_t i = 0; i < length; ++i) {
          name += kAlphabet[in_.ConsumeIntegralInRange<std::size_t>(0, sizeof(kAlphabet) - 2)];
        }
        break;
      }
      case 1: {
        const std::size_t pairs = in_.ConsumeIntegralInRange<std::size_t>(1, 140);
        for (std::size_t i = 0; i < pairs; ++i) {
          const auto lead = in_.ConsumeIntegralInRange<unsigned>(0, 1) == 0
                                ? in_.ConsumeIntegralInRange<unsigned>(0x81, 0x9F)
                                : in_.ConsumeIntegralInRange<unsigned>(0xE0, 0xFC);
          auto trail = in_.ConsumeIntegralInRange<unsigned>(0x40, 0xFC);
          if (trail == '\\' || trail == 0x7F) trail = 0x80;
          name += static_cast<char>(lead);
          name += static_cast<char>(trail);
        }
        break;
      }
      case 2: {
        static constexpr std::size_t kEdges[] = {207, 208, 209, 255, 256, 257, 300};
        const std::size_t length = kEdges[in_.ConsumeIntegralInRange<std::size_t>(0, 6)];
        name.assign(length, static_cast<char>(in_.ConsumeIntegralInRange<int>('a', 'z')));
        break;
      }
      default: {
        name = in_.ConsumeRandomLengthString(300);
        for (char& c : name) {
          if (c == '\\' || c == '\0') c = '#';
        }
        break;
      }
    }
    return name.empty() ? std::string("x") : name;
  }

  std::string PickValueName() {
    switch (in_.ConsumeIntegralInRange(0, 7)) {
      case 0:
      case 1: return kValue;
      case 2: return "im color";
      case 3: return "IM COLOR";
      case 4: return "IM Color ";
      case 5: return "";
      case 6: return "Other";
      default: return in_.ConsumeRandomLengthString(300);
    }
  }

  DWORD PickType() {
    static constexpr DWORD kTypes[] = {REG_NONE,     REG_SZ,    REG_EXPAND_SZ,
                                       REG_BINARY,   REG_DWORD, REG_DWORD_BIG_ENDIAN,
                                       REG_MULTI_SZ, REG_QWORD};
    const auto pick = in_.ConsumeIntegralInRange<std::size_t>(0, 8);
    return pick < 8 ? kTypes[pick] : in_.ConsumeIntegral<DWORD>();
  }

  std::vector<BYTE> PickData() {
    std::size_t size = 0;
    switch (in_.ConsumeIntegralInRange(0, 5)) {
      case 0:
      case 1: size = in_.ConsumeIntegralInRange<std::size_t>(0, 5); break;
      case 2: size = in_.ConsumeIntegralInRange<std::size_t>(6, 300); break;
      case 3: size = in_.ConsumeBool() ? 256 : 257; break;
      case 4: size = in_.ConsumeBool() ? 4096 : 65536; break;
      default: {
        const auto colour = in_.ConsumeIntegral<std::uint32_t>();
        return testing_support::Le32(colour);
      }
    }
    std::vector<BYTE> data = in_.ConsumeBytes<BYTE>(std::min<std::size_t>(size, 300));
    const auto fill = static_cast<BYTE>(size);
    data.resize(size, fill);
    return data;
  }

  std::vector<std::string> Split(const std::string& path) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= path.size() && !path.empty()) {
      const std::size_t cut = path.find('\\', start);
      names.push_back(path.substr(start, cut == std::string::npos ? cut : cut - start));
      if (cut == std::string::npos) break;
      start = cut + 1;
    }
    return names;
  }

  // The names of an account key: now and then one that exists, otherwise
  // a new one, named by `newName()`.
  template <typename NewName>
  std::vector<std::string> PickAccount(NewName newName) {
    std::vector<std::string> names = Split(kAccounts);
    const Tree& view = Known();
    const auto list = view.find(fuzz::Fold(kAccounts));
    if (list != view.end() && !list->second.children.empty() && in_.ConsumeBool()) {
      const auto& accounts = list->second.children;
      names.push_back(accounts[in_.ConsumeIntegralInRange<std::size_t>(0, accounts.size() - 1)]);
    } else {
      names.push_back(newName());
    }
    return names;
  }

  // A key for the world to change, as its names (so that paths too long for
  // the A functions can be made, name by name).
  std::vector<std::string> PickKey() {
    std::vector<std::string> names;
    switch (in_.ConsumeIntegralInRange(0, 10)) {
      case 0: names = Split(kMsn); break;
      case 1: names = Split(kService); break;
      case 2: names = Split(kAccounts); break;
      case 3:
      case 4: {
        names = PickAccount([&] { return PickAccountName(); });
        if (in_.ConsumeIntegralInRange(0, 3) == 0) names.push_back("Below");
        break;
      }
      case 5: names = Split(std::string(kMsn) + "\\Settings"); break;
      case 6: names = Split("Software\\Microsoft"); break;
      case 7: names = Split("Software"); break;
      case 8: names = Split("Software\\Other\\MSNMessenger"); break;
      case 9: names = Split("software\\microsoft\\msnmessenger"); break;
      default: {
        const Tree& view = Known();
        const auto key = std::next(
            view.begin(), static_cast<std::ptrdiff_t>(
                              in_.ConsumeIntegralInRange<std::size_t>(0, view.size() - 1)));
        names = Split(key->second.path);
        break;
      }
    }
    return names;
  }

  // A path for a direct Reg call: a Messenger path or any existing key, as
  // it is or bent (other case, trailing backslash, an extra name, too long).
  std::string PickPath() {
    std::string path;
    switch (in_.ConsumeIntegralInRange(0, 4)) {
      case 0: path = kMsn; break;
      case 1: path = kService; break;
      case 2: path = kAccounts; break;
      case 3: path = Join(PickKey()); break;
      default: path = in_.ConsumeRandomLengthString(40); break;
    }
    switch (in_.ConsumeIntegralInRange(0, 6)) {
      case 0:
        for (char& c : path) {
          if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        }
        break;
      case 1: path += "\\"; break;
      case 2: path += "\\" + PickAccountName(); break;
      case 3: path += "\\" + std::string(257, 'n'); break;
      case 4: path.resize(std::max<std::size_t>(path.size(), 261), 'p'); break;
      default: break;
    }
    return path;
  }

  Reg::RegData PickData32() {
    switch (in_.ConsumeIntegralInRange(0, 3)) {
      case 0: return in_.ConsumeIntegral<std::int32_t>();
      case 1: return std::to_string(in_.ConsumeIntegral<std::int32_t>());
      case 2: {
        static const char* const kOdd[] = {"",    "abc", "2147483648", "-2147483649", "1.5",
                                           " 1",  "1 ",  "0x10",       "+1",          "-0",
                                           "007", "-",   "Error"};
        return std::string(kOdd[in_.ConsumeIntegralInRange<std::size_t>(0, 12)]);
      }
      default: return in_.ConsumeRandomLengthString(20);
    }
  }

  std::int32_t PickKind() {
    static constexpr std::int32_t kKinds[] = {
        Reg::KindNumber, Reg::KindNumber, Reg::KindText, Reg::KindBinary, 0, 2, 5, -1};
    const auto pick = in_.ConsumeIntegralInRange<std::size_t>(0, 8);
    return pick < 8 ? kKinds[pick] : in_.ConsumeIntegral<std::int32_t>();
  }

  // ---- the world changes the registry ------------------------------------

  // Forgets the tree as last seen when the world has changed it.
  class Forget {
   public:
    explicit Forget(std::optional<Tree>& known) : known_(known) {}
    Forget(const Forget&) = delete;
    Forget& operator=(const Forget&) = delete;
    ~Forget() { known_.reset(); }

   private:
    std::optional<Tree>& known_;
  };

  // Whether a key lies below one that refuses to list its subkeys: the
  // snapshot cannot see there, so the world creates nothing there.
  bool BelowHiddenKey(const std::string& folded) const {
    for (const auto& [path, rights] : refusals_) {
      if ((rights & KEY_ENUMERATE_SUB_KEYS) != 0 && folded.starts_with(path + "\\")) return true;
    }
    return false;
  }

  // Opens (or creates) a key name by name; an empty key when it cannot.
  static Reg::ScopedKey Walk(const std::vector<std::string>& names, bool create, REGSAM access) {
    Reg::ScopedKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "", 0, 0, key.receive()) != ERROR_SUCCESS) return key;
    for (std::size_t i = 0; i < names.size(); ++i) {
      const REGSAM rights = i + 1 == names.size() ? access : 0;
      Reg::ScopedKey next;
      const LSTATUS status =
          create ? RegCreateKeyExA(key.get(), names[i].c_str(), 0, nullptr, 0, rights, nullptr,
                                   next.receive(), nullptr)
                 : RegOpenKeyExA(key.get(), names[i].c_str(), 0, rights, next.receive());
      if (status != ERROR_SUCCESS) return Reg::ScopedKey{};
      key = std::move(next);
    }
    return key;
  }

  void ChangeRegistry() {
    const auto names = PickKey();
    const Forget forget(known_);
    const std::string folded = fuzz::Fold(Join(names));
    if (BelowHiddenKey(folded)) return;
    switch (in_.ConsumeIntegralInRange(0, 6)) {
      case 0:
      case 1:
      case 2: {
        const std::string name = PickValueName();
        const DWORD type = PickType();
        const std::vector<BYTE> data = PickData();
        if (const auto key = Walk(names, true, KEY_SET_VALUE); key.get() != nullptr) {
          RegSetValueExA(key.get(), name.c_str(), 0, type, data.data(),
                         static_cast<DWORD>(data.size()));
        }
        break;
      }
      case 3:
        if (const auto key = Walk(names, false, KEY_SET_VALUE); key.get() != nullptr) {
          RegDeleteValueA(key.get(), PickValueName().c_str());
        }
        break;
      case 4: Walk(names, true, 0); break;
      case 5: {
        if (names.empty()) break;
        const std::vector<std::string> parent(names.begin(), names.end() - 1);
        if (const auto key = Walk(parent, false, 0); key.get() != nullptr) {
          if (RegDeleteTreeA(key.get(), names.back().c_str()) == ERROR_SUCCESS) {
            std::erase_if(refusals_, [&](const auto& entry) {
              return entry.first == folded || entry.first.starts_with(folded + "\\");
            });
          }
        }
        break;
      }
      default: {
        auto rights = static_cast<REGSAM>(in_.ConsumeIntegralInRange(1, 0x3F));
        // Only a key without subkeys, below Software\Microsoft, may hide
        // them: nothing is ever made below it, so the snapshot misses nothing.
        const Tree& view = Known();
        const auto key = view.find(folded);
        if (key == view.end()) break;
        if (!key->second.children.empty() || names.size() < 3) rights &= ~KEY_ENUMERATE_SUB_KEYS;
        if (rights == 0) break;
        if (memreg::RefuseRights(HKEY_CURRENT_USER, Join(names), rights))
          refusals_[folded] |= rights;
        break;
      }
    }
  }

  // A value as a Messenger client leaves it, where one would: mostly 4
  // bytes of an explicit colour, now and then fewer bytes or any number.
  void SetColor() {
    const Forget forget(known_);
    std::vector<std::string> names;
    switch (in_.ConsumeIntegralInRange(0, 3)) {
      case 0: names = Split(kMsn); break;
      case 1: names = Split(kService); break;
      default:
        names = PickAccount([&] {
          return std::string(1, static_cast<char>(in_.ConsumeIntegralInRange<int>('a', 'h')));
        });
        break;
    }
    if (BelowHiddenKey(fuzz::Fold(Join(names)))) return;
    std::uint32_t colour = in_.ConsumeIntegral<std::uint32_t>();
    if (in_.ConsumeIntegralInRange(0, 3) != 0) colour &= 0xFFFFFFu;
    const std::size_t size =
        in_.ConsumeIntegralInRange(0, 5) == 0 ? in_.ConsumeIntegralInRange<std::size_t>(0, 3) : 4;
    const DWORD type = in_.ConsumeBool() ? REG_BINARY : REG_DWORD;
    const std::vector<BYTE> bytes = testing_support::Le32(colour);
    if (const auto key = Walk(names, true, KEY_SET_VALUE); key.get() != nullptr) {
      RegSetValueExA(key.get(), kValue, 0, type, bytes.data(), static_cast<DWORD>(size));
    }
  }

  // Many account keys at once, some holding a colour.
  void AddAccounts() {
    const Forget forget(known_);
    const int count = in_.ConsumeIntegralInRange(1, 40);
    const auto base = in_.ConsumeIntegral<std::uint16_t>();
    if (BelowHiddenKey(fuzz::Fold(kAccounts))) return;
    for (int i = 0; i < count; ++i) {
      auto names = Split(kAccounts);
      names.push_back("user" + std::to_string(base + i) + "@example.com");
      const auto key = Walk(names, true, KEY_SET_VALUE);
      if (key.get() != nullptr && (base + i) % 3 == 0) {
        const std::uint32_t colour =
            (static_cast<std::uint32_t>(base) * 2654435761u + static_cast<std::uint32_t>(i)) &
            0xFFFFFFu;
        const std::vector<BYTE> bytes = testing_support::Le32(colour);  // the high byte is 0
        RegSetValueExA(key.get(), kValue, 0, REG_BINARY, bytes.data(), 4);
      }
    }
  }

  // ---- checks ---------------------------------------------------------------

  void ExpectTree(const Tree& expected, const std::string& step) {
    Tree actual = testing_support::Snapshot(HKEY_CURRENT_USER);
    if (const std::string changes = testing_support::Changes(expected, actual); !changes.empty()) {
      Broken(step + ": the tree is not as the rules say\n" + changes);
    }
    Check(memreg::OpenKeyCount() == 0, step + ": a key was left open");
    known_ = std::move(actual);
  }

  // The tree as last seen; seen afresh after the world changed it.
  const Tree& Known() {
    if (!known_) known_ = testing_support::Snapshot(HKEY_CURRENT_USER);
    return *known_;
  }

  ColorValue Label(LabelId label) const { return toolkit_.LabelForeColor(label); }

  // Now and then makes one operation of the toolkit fail the next time the
  // next handler asks for it (RecordingToolkit::FailOn); the operation.
  std::optional<std::string> MaybeFailToolkit() {
    static constexpr const char* kOperations[] = {"LabelForeColor ColorT1",
                                                  "LabelForeColor",
                                                  "SetLabelForeColor ColorT1",
                                                  "SetLabelForeColor ColorT2",
                                                  "SetLabelCaption",
                                                  "MsgBox",
                                                  "AppVersion",
                                                  "WindowHandle",
                                                  "InstanceHandle",
                                                  "EndProgram"};
    if (in_.ConsumeIntegralInRange(0, 7) != 0) return std::nullopt;
    const std::string operation =
        kOperations[in_.ConsumeIntegralInRange<std::size_t>(0, std::size(kOperations) - 1)];
    toolkit_.FailOn(operation);
    return operation;
  }

  // Runs one handler with the toolkit failure (if any) armed, disarms every
  // scripted failure, then checks the whole tree against `expected` and that
  // a failure reached the caller exactly when the toolkit raised one.
  // Returns whether the handler failed.
  bool RunHandler(void (varnelo::Form1::*handler)(), const Tree& expected,
                  const std::string& what) {
    bool failed = false;
    try {
      (form_.*handler)();
    } catch (const varnelo::ToolkitError&) {
      failed = true;
    }
    const bool raised = toolkit_.failureRaised;
    toolkit_.FailOn("");
    memreg::FailSetValueAt(kNever, ERROR_ACCESS_DENIED);
    ExpectTree(expected, what);
    Check(failed == raised, what + (failed ? ": a toolkit failure was made up"
                                           : ": a toolkit failure was not passed on"));
    return failed;
  }

  // ---- the window's handlers ----------------------------------------------

  bool FormLoad() {
    const Tree view = Known();
    const std::string notFound = kNotFound;
    const std::string msn = Text(fuzz::ExpectedRead(view, refusals_, kMsn, kValue, 4, notFound));
    const std::string service =
        Text(fuzz::ExpectedRead(view, refusals_, kService, kValue, 4, notFound));
    const auto listing = fuzz::ExpectedListing(view, refusals_, kAccounts);

    // What both labels must end with.
    std::optional<ColorValue> shown;
    const bool notInstalled = msn == kNotFound && service == kNotFound && listing.empty();
    if (msn != kNotFound) {
      shown = ToColor(msn);
    } else if (service != kNotFound) {
      shown = ToColor(service);
    } else {
      for (const auto& name : listing) {
        const auto colour = fuzz::ExpectedRead(view, refusals_, Account(name), kValue, 4, notFound);
        if (Text(colour) != kNotFound) shown = std::get<std::int32_t>(colour);
      }
    }

    MaybeFailToolkit();
    if (RunHandler(&varnelo::Form1::Form_Load, view, "Form_Load")) {
      return false;  // the run-time error report ends the program
    }

    Check(form_.MsnColor() == msn, "Form_Load: MsnColor " + form_.MsnColor() + ", expected " + msn);
    Check(form_.ServiceColor() == service, "Form_Load: ServiceColor " + form_.ServiceColor());
    Check(form_.PassportCount() == static_cast<std::int32_t>(listing.size()),
          "Form_Load: PassportCount " + std::to_string(form_.PassportCount()));
    Check(form_.PassportIds() == listing,
          "Form_Load: PassportIds " + Names(form_.PassportIds()) + ", expected " + Names(listing));
    serviceHadValue_ = service != kNotFound;
    if (notInstalled) {
      Check(toolkit_.messages.size() == 1 && toolkit_.messages[0] == varnelo::kNotInstalledMessage,
            "Form_Load: the not-installed message is missing");
      Check(toolkit_.ended, "Form_Load: the program goes on without a Messenger location");
      Check(toolkit_.label6Caption == L"v1.0.0", "Form_Load: the version label changed");
      return false;
    }
    Check(toolkit_.messages.empty() && !toolkit_.ended,
          "Form_Load: message or end with a location");
    Check(toolkit_.label6Caption == L"v1.5.1", "Form_Load: version label");
    const ColorValue t1 = shown.value_or(varnelo::kSysColorWindow);
    const ColorValue t2 = shown.value_or(testing_support::RecordingToolkit::kDefaultTextColor);
    Check(Label(LabelId::ColorT1) == t1 && Label(LabelId::ColorT2) == t2,
          "Form_Load: labels " + std::to_string(Label(LabelId::ColorT1)) + "/" +
              std::to_string(Label(LabelId::ColorT2)) + ", expected " + std::to_string(t1) + "/" +
              std::to_string(t2));
    return true;
  }

  bool Choose() {
    fakecc::Answer answer;
    answer.confirmed = in_.ConsumeBool() ? TRUE : FALSE;
    static constexpr COLORREF kColors[] = {0, 1, 255, 0xFFFFFF, 0x1000000, 0x80000005, 0xFFFFFFFF};
    const auto pick = in_.ConsumeIntegralInRange<std::size_t>(0, 7);
    answer.colour = pick < 7 ? kColors[pick] : in_.ConsumeIntegral<COLORREF>();
    fakecc::Script({answer});

    const auto returned = static_cast<std::int32_t>(answer.colour);
    const std::int32_t picked = answer.confirmed == FALSE ? 0 : returned > 0xFFFFFF ? -2 : returned;
    const ColorValue t1Before = Label(LabelId::ColorT1);
    const ColorValue t2Before = Label(LabelId::ColorT2);
    const Tree view = Known();

    MaybeFailToolkit();
    if (RunHandler(&varnelo::Form1::Command1_Click, view, "Command1_Click")) {
      return false;
    }
    Check(form_.PickedColor == std::to_string(picked), "Command1_Click: PickedColor " +
                                                           form_.PickedColor + ", expected " +
                                                           std::to_string(picked));
    Check(Label(LabelId::ColorT1) == (picked > 0 ? picked : t1Before), "Command1_Click: ColorT1");
    Check(Label(LabelId::ColorT2) == t2Before, "Command1_Click: ColorT2 changed");
    return true;
  }

  bool Apply() {
    const ColorValue selected = Label(LabelId::ColorT1);
    const ColorValue t2Before = Label(LabelId::ColorT2);
    const bool explicitColor = selected >= 0 && selected <= 0xFFFFFF;
    const FormState before = Save();
    const Tree view = Known();

    fuzz::SetCalls sets;
    if (in_.ConsumeIntegralInRange(0, 3) == 0) {
      sets.failing = in_.ConsumeIntegralInRange<std::size_t>(0, 6);
      memreg::FailSetValueAt(*sets.failing, ERROR_ACCESS_DENIED);
    }
    const auto failing = MaybeFailToolkit();

    // What the click must write: MSN Messenger if it has a value now,
    // Windows Messenger if it had one at start-up, every account key listed
    // now; nothing at all while ColorT1 holds no explicit colour, or when the
    // selection in ColorT1 cannot be read. A failure after that (showing the
    // colour as the current one) keeps every write made.
    const bool selectionUnread =
        failing && std::string_view("LabelForeColor ColorT1").starts_with(*failing);
    Tree expected = view;
    std::vector<std::string> listing;
    std::string msn = kNotFound;
    const bool writes = explicitColor && !selectionUnread;
    if (writes) {
      listing = fuzz::ExpectedListing(view, refusals_, kAccounts);
      msn = Text(fuzz::ExpectedRead(view, refusals_, kMsn, kValue, 4, std::string(kNotFound)));
      const std::string colour = std::to_string(selected);
      if (msn != kNotFound) fuzz::ExpectWrite(expected, refusals_, kMsn, kValue, 4, colour, sets);
      if (serviceHadValue_)
        fuzz::ExpectWrite(expected, refusals_, kService, kValue, 4, colour, sets);
      for (const auto& name : listing) {
        fuzz::ExpectWrite(expected, refusals_, Account(name), kValue, 4, colour, sets);
      }
    }

    if (RunHandler(&varnelo::Form1::Command3_Click, expected,
                   "Command3_Click with ColorT1 " + std::to_string(selected))) {
      return false;  // writes made stay made: checked above
    }

    Check(form_.ApplyColor == std::to_string(selected), "Command3_Click: ApplyColor");
    if (!explicitColor) {
      Check(Label(LabelId::ColorT2) == t2Before, "Command3_Click: ColorT2 took a non-colour");
      Check(Same(before, Save()), "Command3_Click: state changed without a colour");
      return true;
    }
    Check(Label(LabelId::ColorT2) == selected, "Command3_Click: ColorT2 is not ColorT1");
    Check(form_.MsnColor() == msn, "Command3_Click: MsnColor " + form_.MsnColor());
    Check(form_.PassportCount() == static_cast<std::int32_t>(listing.size()),
          "Command3_Click: PassportCount");
    Check(form_.PassportIds() == (listing.empty() ? before.ids : listing),
          "Command3_Click: PassportIds " + Names(form_.PassportIds()) + ", expected " +
              Names(listing.empty() ? before.ids : listing));
    Check(form_.ServiceColor() == before.service, "Command3_Click: ServiceColor was read again");
    return true;
  }

  bool Close() {
    const Tree view = Known();
    toolkit_.log.clear();
    form_.Command2_Click();
    ExpectTree(view, "Command2_Click");
    Check(toolkit_.ended && toolkit_.log == std::vector<std::string>{"EndProgram"},
          "Command2_Click: does more than end");
    return false;
  }

  // ---- the Reg routines, called directly ---------------------------------

  // The arguments of a direct ReadRegValue or WriteRegValue (the default to
  // read, or the value to write), picked in this order.
  struct Call {
    std::string path, name;
    std::int32_t kind;
    Reg::RegData data;
  };
  Call PickCall() { return {PickPath(), PickValueName(), PickKind(), PickData32()}; }

  void DirectRead() {
    const auto [path, name, kind, fallback] = PickCall();
    const Tree view = Known();
    const Reg::RegData expected = fuzz::ExpectedRead(view, refusals_, path, name, kind, fallback);

    const Reg::RegData got = Reg::ReadRegValue(HKEY_CURRENT_USER, path, name, kind, fallback);
    ExpectTree(view, "ReadRegValue");
    Check(got == expected, "ReadRegValue(" + path + ", " + name + ", kind " + std::to_string(kind) +
                               ") gave " + Text(got) + ", expected " + Text(expected));
  }

  void DirectWrite() {
    const auto [path, name, kind, value] = PickCall();
    const Tree view = Known();
    // Creating keys under one that hides its subkeys is what the world avoids too.
    if (const auto names = Split(path); !names.empty()) {
      std::string folded;
      for (const auto& keyName : names) {
        folded += (folded.empty() ? "" : "\\") + fuzz::Fold(keyName);
        if (BelowHiddenKey(folded)) return;
      }
    }
    Tree expected = view;
    fuzz::SetCalls sets;
    const bool stores = fuzz::ExpectWrite(expected, refusals_, path, name, kind, value, sets);

    const bool stored = Reg::WriteRegValue(HKEY_CURRENT_USER, path, name, kind, value);
    ExpectTree(expected, "WriteRegValue(" + path + ", kind " + std::to_string(kind) + ", " +
                             Text(value) + ")");
    Check(stored == stores, "WriteRegValue(" + path + ", kind " + std::to_string(kind) + ", " +
                                Text(value) + ") returned " + std::to_string(stored));
  }

  void DirectList() {
    const std::string path = PickPath();
    std::vector<std::string> names;
    const int stale = in_.ConsumeIntegralInRange(0, 3);
    for (int i = 0; i < stale; ++i) names.push_back("stale" + std::to_string(i));
    const std::vector<std::string> before = names;
    const Tree view = Known();
    const auto expected = fuzz::ExpectedListing(view, refusals_, path);

    const std::int32_t count = Reg::EnumRegSubKeys(HKEY_CURRENT_USER, path, names);
    ExpectTree(view, "EnumRegSubKeys");
    Check(count == static_cast<std::int32_t>(expected.size()),
          "EnumRegSubKeys(" + path + ") counted " + std::to_string(count));
    Check(names == (expected.empty() ? before : expected),
          "EnumRegSubKeys(" + path + ") names " + Names(names));
  }

  // ---- Form1's state, for "nothing else changed" --------------------------

  struct FormState {
    std::string msn, service, picked;
    std::int32_t count = 0;
    std::vector<std::string> ids;
  };
  FormState Save() const {
    return {form_.MsnColor(), form_.ServiceColor(), form_.PickedColor, form_.PassportCount(),
            form_.PassportIds()};
  }
  static bool Same(const FormState& a, const FormState& b) {
    return a.msn == b.msn && a.service == b.service && a.picked == b.picked && a.count == b.count &&
           a.ids == b.ids;
  }

  FuzzedDataProvider& in_;
  std::optional<Tree> known_;
  fuzz::Refusals refusals_;
  testing_support::RecordingToolkit toolkit_;
  varnelo::Form1 form_{toolkit_};
  bool serviceHadValue_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  Session session(input);
  session.Run();
  return 0;
}
