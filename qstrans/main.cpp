// The transfer program: downloads panel databases, protocol drivers and
// system software into Quellstor panels and uploads databases from them.

#include "qstrans/kelmnet_route.h"
#include "qstrans/quellstor_trans_app.h"
#include "qstrans/quellstor_trans_dlg.h"
#include "qstrans/serial_port_route.h"

#include <memory>

int main()
{
    CQuellstorTransApp app;
    app.installRoutes = [](CQuellstorTransDlg& dialog) {
        dialog.SetSerialRoute(std::make_unique<CSerialPortRoute>(dialog));
        dialog.SetFieldbusRoute(std::make_unique<CKelmnetRoute>(dialog));
    };
    return app.Run();
}
