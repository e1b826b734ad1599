#include "forms/PropertyForm.h"

#include <cstdio>

#include "common/Text.h"
#include "devices/IORecord.h"
#include "forms/FormFields.h"

namespace velkor {

FormField* PropertyForm::Find(std::string_view label, std::string_view group) {
    for (FormField& f : fields_) {
        if (f.label == label && (group.empty() || f.group == group)) return &f;
    }
    return nullptr;
}

bool PropertyForm::IsAmbiguous(std::string_view label) const {
    int n = 0;
    for (const FormField& f : fields_) n += f.label == label ? 1 : 0;
    return n > 1;
}

FormField& PropertyForm::Add(std::string group, std::string label, FormField::Kind kind,
                             std::vector<std::string> entries) {
    fields_.push_back({std::move(group), std::move(label), kind, std::move(entries), {}, true});
    return fields_.back();
}

bool PropertyForm::NameFits(const FormField& field) {
    if (ToGbk(FromUtf8(field.value)).size() < IORecord::kNameBytes) return true;
    std::string message = kMsgNameTooLong;
    message.replace(message.find("%s"), 2, field.label);
    message.replace(message.find("%s"), 2, field.value);
    ui_.Warning(message);
    return false;
}

std::string FormatColourField(Color c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "#%02X%02X%02X", c.r, c.g, c.b);
    return buf;
}

std::optional<Color> ParseColourField(std::string_view text) {
    if (text.size() != 7 || text[0] != '#') return std::nullopt;
    uint32_t v = 0;
    for (char ch : text.substr(1)) {
        const int d = ch >= '0' && ch <= '9'   ? ch - '0'
                      : ch >= 'a' && ch <= 'f' ? ch - 'a' + 10
                      : ch >= 'A' && ch <= 'F' ? ch - 'A' + 10
                                               : -1;
        if (d < 0) return std::nullopt;
        v = v << 4 | static_cast<uint32_t>(d);
    }
    return Rgb(static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8),
               static_cast<uint8_t>(v));
}

std::string PropertyForm::ListEntry(const FormField& list, int32_t index) {
    return index >= 0 && static_cast<size_t>(index) < list.entries.size()
               ? list.entries[static_cast<size_t>(index)]
               : std::string();
}

int32_t PropertyForm::ListIndex(const FormField& list, int32_t old) {
    for (size_t i = 0; i < list.entries.size(); ++i) {
        if (list.entries[i] == list.value) return static_cast<int32_t>(i);
    }
    return old;
}

void PropertyForm::Bind(FormField& field, std::function<void(const FormField&)> take,
                        std::function<bool(const FormField&)> accepts) {
    const size_t index = static_cast<size_t>(&field - fields_.data());
    if (!accepts) accepts = [](const FormField&) { return true; };
    bound_.push_back({index, std::move(accepts), std::move(take)});
}

void PropertyForm::AddColour(const std::string& label, Color& colour) {
    FormField& f = Add("", label, FormField::Kind::Colour);
    f.value = FormatColourField(colour);
    Bind(
        f, [&colour](const FormField& field) { colour = *ParseColourField(field.value); },
        [this](const FormField& field) {
            if (ParseColourField(field.value)) return true;
            ui_.Warning(kMsgBadColour + field.label + " " + field.value);
            return false;
        });
}

void PropertyForm::AddColours(const std::string& prefix, std::span<Color> colours) {
    for (size_t i = 0; i < colours.size(); ++i)
        AddColour(prefix + std::to_string(i + 1), colours[i]);
}

void PropertyForm::AddCheck(const std::string& label, int32_t& flag) {
    FormField& f = Add("", label, FormField::Kind::Check);
    f.value = flag ? "1" : "0";
    Bind(f, [&flag](const FormField& field) { flag = field.Checked() ? 1 : 0; });
}

void PropertyForm::AddList(const std::string& label, std::vector<std::string> entries,
                           int32_t& index) {
    FormField& f = Add("", label, FormField::Kind::List, std::move(entries));
    f.value = ListEntry(f, index);
    Bind(f, [&index](const FormField& field) { index = ListIndex(field, index); });
}

void PropertyForm::AddList(const std::string& label, std::vector<std::string> entries,
                           int32_t index, std::function<void(int32_t)> take) {
    FormField& f = Add("", label, FormField::Kind::List, std::move(entries));
    f.value = ListEntry(f, index);
    Bind(f, [index, take = std::move(take)](const FormField& field) {
        take(ListIndex(field, index));
    });
}

void PropertyForm::AddText(const std::string& label, std::string value,
                           std::function<void(const std::string&)> take,
                           std::function<bool(const std::string&)> accepts) {
    FormField& f = Add("", label, FormField::Kind::Text);
    f.value = std::move(value);
    Bind(
        f, [take = std::move(take)](const FormField& field) { take(field.value); },
        [accepts = std::move(accepts)](const FormField& field) {
            return !accepts || accepts(field.value);
        });
}

void PropertyForm::AddNumber(const std::string& label, int32_t value,
                             std::function<void(int32_t)> take) {
    FormField& f = Add("", label, FormField::Kind::Decimal);
    f.value = std::to_string(value);
    Bind(f, [this, value, take = std::move(take)](const FormField& field) {
        uint16_t v = static_cast<uint16_t>(value);
        TakeDecimalField(field.value, v, ui_);
        take(v);
    });
}

bool PropertyForm::BoundFieldsAccepted() {
    for (const Bound& b : bound_) {
        if (!b.accepts(fields_[b.field])) return false;
    }
    return true;
}

void PropertyForm::TakeBoundFields() {
    for (const Bound& b : bound_) b.take(fields_[b.field]);
    if (after_) after_();
}

bool PropertyForm::Confirm() {
    if (!BoundFieldsAccepted()) return false;
    TakeBoundFields();
    return true;
}

namespace {
constexpr const char* kRecordNumbers[] = {"地址号", "按钮号", "字号", "位号"};
uint16_t IORecord::*const kRecordMembers[] = {&IORecord::address, &IORecord::button,
                                              &IORecord::word, &IORecord::bit};
}  // namespace

void PropertyForm::AddRecordFields(const std::string& group, const std::string& nameLabel) {
    Add(group, nameLabel, FormField::Kind::Name);
    for (const char* label : kRecordNumbers) Add(group, label, FormField::Kind::Hex);
}

void PropertyForm::ShowRecord(const std::string& group, const IORecord& rec,
                              const std::string& nameLabel) {
    Find(nameLabel, group)->value = ToUtf8(rec.Name());
    ShowRecordNumbers(group, rec);
}

void PropertyForm::ShowRecordNumbers(const std::string& group, const IORecord& rec) {
    for (size_t i = 0; i < std::size(kRecordNumbers); ++i) {
        Find(kRecordNumbers[i], group)->value = FormatHexField(rec.*kRecordMembers[i]);
    }
}

void PropertyForm::TakeRecordNumbers(const std::string& group, IORecord& rec) {
    for (size_t i = 0; i < std::size(kRecordNumbers); ++i) {
        TakeHexField(Find(kRecordNumbers[i], group)->value, rec.*kRecordMembers[i], ui_);
    }
}

}  // namespace velkor
