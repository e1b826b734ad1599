#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/Color.h"
#include "common/Interaction.h"

namespace velkor {

class CADGraphic;
class CVelkorDoc;
struct IoTables;
struct IORecord;

// One field of a property dialog as the dialog shows it. Values are texts:
// numbers as formatted ("0X0012", "3"), check boxes "1" or "0", lists and
// radio groups the chosen entry, colours "#RRGGBB", names and texts UTF-8.
struct FormField {
    // Radio: one of the buttons of a group, "1" when chosen.
    enum class Kind { Hex, Decimal, Name, Text, Check, List, Colour, Radio };
    std::string group;
    std::string label;
    Kind kind = Kind::Text;
    std::vector<std::string> entries;  // a list's entries in order
    std::string value;
    bool enabled = true;

    bool Checked() const { return value == "1"; }
};

inline constexpr const char* kMsgNameTooLong = "“%s”的名称超过 15 个字节，请缩短：%s";
inline constexpr const char* kMsgBadColour = "颜色无效（应为 #RRGGBB）：";

// What a form needs of its station besides the device: the input tables of
// the lookups, the station settings that change them, and the person.
struct FormContext {
    const IoTables& tables;
    Interaction& ui;
    bool hasLogicSections = false;
    int logicSectionsPerSwitch = 1;
};

// "#RRGGBB" for a colour field, and back (nothing for another text).
std::string FormatColourField(Color c);
std::optional<Color> ParseColourField(std::string_view text);

// The model of a device's property dialog, without Qt: its fields, the
// rules that run when a check box or list changes, the space-bar lookups of
// its name fields and the takeover on "确定". The desktop program's dialog
// and `velkor-cli props` are views over it.
class PropertyForm {
public:
    PropertyForm(std::string title, Interaction& ui) : title_(std::move(title)), ui_(ui) {}
    virtual ~PropertyForm() = default;

    const std::string& Title() const { return title_; }
    // The note the dialog shows below its fields, if any.
    const std::string& Note() const { return note_; }
    std::vector<FormField>& Fields() { return fields_; }
    const std::vector<FormField>& Fields() const { return fields_; }
    // The field of that label (in that group, when given); nullptr if none.
    FormField* Find(std::string_view label, std::string_view group = {});
    // Whether a label stands in more than one group.
    bool IsAmbiguous(std::string_view label) const;

    // A check box or list changed its value: the form's rules run.
    virtual void Edited(FormField& field) { (void)field; }
    // The space bar in a name field: the lookup changes the device at once
    // and the fields show the device again. False for a field without one.
    virtual bool LookUp(FormField& field) {
        (void)field;
        return false;
    }
    // "确定": the fields taken over into the device in the dialog's order.
    // False when a field is refused before anything was taken over (the
    // dialog stays open). By default the bound fields below.
    virtual bool Confirm();

    // Fields bound to a member, taken over on "确定" in the order they were
    // added (after the dialog's own steps where it has them): a colour
    // ("#RRGGBB"; another text is refused before anything is taken over),
    // colours "<prefix>1", "<prefix>2" ..., a check box over a flag, a list
    // over an index, a decimal number handed to `take`.
    void AddColour(const std::string& label, Color& colour);
    void AddColours(const std::string& prefix, std::span<Color> colours);
    void AddCheck(const std::string& label, int32_t& flag);
    void AddList(const std::string& label, std::vector<std::string> entries, int32_t& index);
    void AddList(const std::string& label, std::vector<std::string> entries, int32_t index,
                 std::function<void(int32_t)> take);
    // A text handed to `take`; `accepts` may refuse it before anything is
    // taken over (it tells the user why).
    void AddText(const std::string& label, std::string value,
                 std::function<void(const std::string&)> take,
                 std::function<bool(const std::string&)> accepts = {});
    void AddNumber(const std::string& label, int32_t value, std::function<void(int32_t)> take);
    // Runs last on "确定".
    void AfterConfirm(std::function<void()> step) { after_ = std::move(step); }

    // A list's entry for an index ("" for none) and back (`old` for a text
    // that is no entry).
    static std::string ListEntry(const FormField& list, int32_t index);
    static int32_t ListIndex(const FormField& list, int32_t old);

protected:
    FormField& Add(std::string group, std::string label, FormField::Kind kind,
                   std::vector<std::string> entries = {});
    // A name field's text fits the 15 GBK bytes of a record, or the user
    // is told which field to shorten.
    bool NameFits(const FormField& field);

    // The fields of an IO record in a group, as every dialog lists them:
    // the name field (most dialogs call it "名称") and the hexadecimal
    // "地址号", "按钮号", "字号", "位号".
    void AddRecordFields(const std::string& group, const std::string& nameLabel = "名称");
    // The record's name and numbers into those fields.
    void ShowRecord(const std::string& group, const IORecord& rec,
                    const std::string& nameLabel = "名称");
    // Only the four numbers, as after a lookup that keeps the typed name.
    void ShowRecordNumbers(const std::string& group, const IORecord& rec);
    // The four numbers taken over from those fields (the name is taken over
    // where the dialog's order puts it).
    void TakeRecordNumbers(const std::string& group, IORecord& rec);
    Interaction& UI() { return ui_; }
    void SetNote(std::string note) { note_ = std::move(note); }
    // Whether every bound field can be taken over (the user is told which
    // one cannot), and the takeover itself.
    bool BoundFieldsAccepted();
    void TakeBoundFields();

private:
    // A bound field: its index, a check before anything is taken over and
    // its takeover.
    struct Bound {
        size_t field;
        std::function<bool(const FormField&)> accepts;
        std::function<void(const FormField&)> take;
    };
    void Bind(FormField& field, std::function<void(const FormField&)> take,
              std::function<bool(const FormField&)> accepts = {});

    std::string title_;
    std::string note_;
    Interaction& ui_;
    std::vector<FormField> fields_;
    std::vector<Bound> bound_;
    std::function<void()> after_;
};

// The form of an object's dialog, or nothing for a class without one (it
// confirms at once).
std::unique_ptr<PropertyForm> MakePropertyForm(CADGraphic& obj, CVelkorDoc& doc);

}  // namespace velkor
