#pragma once

// The module's count of live objects: add-in objects, click sinks,
// outstanding server locks and class-factory clients. The library may be unloaded only when it
// is 0. Each function returns the count after the change.
long ModuleLock();
long ModuleUnlock();
long ModuleLockCount();
