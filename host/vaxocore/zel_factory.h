#pragma once

#include <string>
#include <vector>

#include "value_t.h"
#include "vaxo_export.h"

class ZELEOBlock;

// Makes blocks of one type. Plug-ins add their factories to the host's
// ZELFactoryLib; the host never deletes a factory itself.
class VAXO_API ZELBlkFactory {
  public:
    virtual ~ZELBlkFactory();
    // Deletes the factory; its plug-in calls this when it takes it back.
    virtual void release() = 0;
    // A new block named `name`, made from `parameter` (may be null); null on
    // failure, with error_message() saying why. May also throw.
    virtual ZELEOBlock* create(const char* name, const value_t* parameter) = 0;
    virtual const char* type_name() const = 0;
    virtual const char* error_message() const = 0;
    // Optional capabilities of the factory as bit flags; this host knows none.
    virtual int capability_flags() const = 0;
};

// The host's registry of block factories, found by type name. It does not own
// the factories: each plug-in adds its own and removes them before unloading.
class VAXO_API ZELFactoryLib {
  public:
    // Adds `factory`; answers 0, or 1 when it is null or already registered.
    int AddFactory(ZELBlkFactory* factory);
    // The first registered factory whose type name equals `type_name` exactly.
    ZELBlkFactory* Lookup(const char* type_name) const;
    // Takes `factory` out; answers 0, or 1 when it was not registered.
    int Remove(ZELBlkFactory* factory);
    std::size_t size() const { return factories_.size(); }

  private:
    std::vector<ZELBlkFactory*> factories_;
};
