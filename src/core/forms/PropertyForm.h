#pragma once
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/Interaction.h"

namespace velkor {

class CADGraphic;
class CVelkorDoc;
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
    // dialog stays open).
    virtual bool Confirm() = 0;

protected:
    FormField& Add(std::string group, std::string label, FormField::Kind kind,
                   std::vector<std::string> entries = {});
    // A name field's text fits the 15 GBK bytes of a record, or the user
    // is told which field to shorten.
    bool NameFits(const FormField& field);

    // The fields of an IO record in a group, as every dialog lists them:
    // "名称" and the hexadecimal "地址号", "按钮号", "字号", "位号".
    void AddRecordFields(const std::string& group);
    // The record's name and numbers into those fields.
    void ShowRecord(const std::string& group, const IORecord& rec);
    // The four numbers taken over from those fields (the name is taken over
    // where the dialog's order puts it).
    void TakeRecordNumbers(const std::string& group, IORecord& rec);
    Interaction& UI() { return ui_; }
    void SetNote(std::string note) { note_ = std::move(note); }

private:
    std::string title_;
    std::string note_;
    Interaction& ui_;
    std::vector<FormField> fields_;
};

// The form of an object's dialog, or nothing for a class without one (it
// confirms at once).
std::unique_ptr<PropertyForm> MakePropertyForm(CADGraphic& obj, CVelkorDoc& doc);

}  // namespace velkor
