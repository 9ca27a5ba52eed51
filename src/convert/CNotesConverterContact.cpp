#include "items/AddressNormalizers.h"
#include "convert/CNotesConverter.h"
#include "items/DocumentFields.h"
#include "items/ItemFieldReaders.h"

ContactRecord CNotesConverter::ReadContactRecord(LNDocument document, QStringList* names,
                                                 QStringList* sizes) const {
    ContactRecord record;
    record.fields[0] = NormalizeSender(ReadTextItem(document, QStringLiteral("From")));
    for (int field = ContactRecord::kFirstItemField;
         field < ContactRecord::kFirstItemField + ContactRecord::kItemFieldCount; ++field)
        record.fields[size_t(field)] = ReadTextItem(document, QLatin1String(ContactRecord::ItemName(field)));
    // The name the contact's document gets, shown where Full Name is.
    if (record.fields[ContactRecord::kFullNameInputField].isEmpty() && document.data())
        record.fields[ContactRecord::kFullNameInputField] = ContactDisplayName(*document.data());
    record.fields[ContactRecord::kAttachmentsField] = DescribeAttachments(document, names, sizes);
    record.fields[ContactRecord::kPhotoField] = ReadTextItem(document, QStringLiteral("Photo"));
    return record;
}
