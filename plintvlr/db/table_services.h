#pragma once
// The project database's steps that belong to the table records: the comms
// block and overview group lists reloaded with a project. The program's
// start-up registers them with the other subsystems' services.

void RegisterTableRecordServices();
