/// @file
/// The empty shared root of levels, events and entities.
#pragma once

class BaseObject {
  public:
    BaseObject() {}
    virtual ~BaseObject() {}
};
