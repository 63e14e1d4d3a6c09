#include "qstrans/transfer_settings.h"

#include "qstrans/qstrans_strings.h"

TUserSettings& TransferSettings()
{
    static TUserSettings settings(QsString(kStrRegistryKey), "QSTRANS");
    return settings;
}

int ReadPortSetting()
{
    const int port = TransferSettings().GetInt("", "Port", kPortNeverChosen);
    return port >= 0 && port <= 3 ? port : kPortNeverChosen;
}
