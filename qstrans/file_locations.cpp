#include "qstrans/file_locations.h"

#include "platform/base/profile.h"
#include "qstrans/qstrans_strings.h"

namespace {

// The value of `key`, or kMissing. A value longer than kLongestValue fills
// the buffer to its last character, which a value that fits never does.
std::string ReadValue(int keyId, std::vector<std::string>* refused)
{
    std::string buffer(CFileLocations::kLongestValue + 2, '\0');
    const int n = GetPrivateProfileString(QsString(kStrFileLocationsSection), QsString(keyId), CFileLocations::kMissing,
                                          buffer.data(), static_cast<int>(buffer.size()), QsString(kStrHandOffFileName));
    if (n > static_cast<int>(CFileLocations::kLongestValue)) {
        if (refused)
            refused->push_back(QsFormat(kStrHandOffValueTooLong, QsString(kStrHandOffFileName), QsString(keyId),
                                        static_cast<unsigned>(CFileLocations::kLongestValue)));
        return CFileLocations::kMissing;
    }
    buffer.resize(static_cast<std::size_t>(n));
    return buffer;
}

}  // namespace

CFileLocations ReadHandOffFile(std::vector<std::string>* refused)
{
    CFileLocations l;
    l.databasePath = ReadValue(kStrDatabasePathKey, refused);
    l.databaseName = ReadValue(kStrDatabaseNameKey, refused);
    l.protocolPath = ReadValue(kStrProtocolPathKey, refused);
    l.systemPath = ReadValue(kStrSystemPathKey, refused);
    return l;
}

