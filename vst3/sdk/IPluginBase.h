// IPluginBase and the class factory interfaces with their information
// structs. These structs keep the compiler's natural packing on every
// platform.
#pragma once

#include "vst3/sdk/FUnknown.h"
#include "vst3/sdk/UString.h"

#include <cstddef>

namespace Steinberg {

class IPluginBase : public FUnknown {
public:
  // The host context normally answers IHostApplication. A result other than
  // kResultOk makes the host release the object without terminate.
  virtual tresult PLUGIN_API initialize(FUnknown* context) = 0;
  // Drops every reference to host objects; initialize may follow again.
  virtual tresult PLUGIN_API terminate() = 0;

  static constexpr FUID iid{0x22888DDB, 0x156E45AE, 0x8358B348, 0x08190625};
};

struct PFactoryInfo {
  enum FactoryFlags : int32 {
    kNoFlags = 0,
    kClassesDiscardable = 1 << 0,
    kLicenseCheck = 1 << 1,
    kComponentNonDiscardable = 1 << 3,
    kUnicode = 1 << 4
  };
  enum { kNameSize = 64, kURLSize = 256, kEmailSize = 128 };

  char8 vendor[kNameSize];
  char8 url[kURLSize];
  char8 email[kEmailSize];
  int32 flags;

  PFactoryInfo() : vendor{}, url{}, email{}, flags(0) {}
  PFactoryInfo(const char8* vendorText, const char8* urlText, const char8* emailText, int32 flagBits)
      : flags(flagBits) {
    strncpy8(vendor, vendorText, kNameSize);
    strncpy8(url, urlText, kURLSize);
    strncpy8(email, emailText, kEmailSize);
  }
};

struct PClassInfo {
  enum ClassCardinality { kManyInstances = 0x7FFFFFFF };
  enum { kCategorySize = 32, kNameSize = 64 };

  TUID cid;
  int32 cardinality;
  char8 category[kCategorySize];
  char8 name[kNameSize];

  PClassInfo() : cid{}, cardinality(0), category{}, name{} {}
  PClassInfo(const TUID classId, int32 cardinalityValue, const char8* categoryText, const char8* nameText)
      : cardinality(cardinalityValue) {
    FUID::fromTUID(classId).toTUID(cid);
    strncpy8(category, categoryText, kCategorySize);
    strncpy8(name, nameText, kNameSize);
  }
};

struct PClassInfo2 {
  enum {
    kCategorySize = PClassInfo::kCategorySize,
    kNameSize = PClassInfo::kNameSize,
    kSubCategoriesSize = 128,
    kVendorSize = 64,
    kVersionSize = 64
  };

  TUID cid;
  int32 cardinality;
  char8 category[kCategorySize];
  char8 name[kNameSize];
  uint32 classFlags;
  char8 subCategories[kSubCategoriesSize];
  char8 vendor[kVendorSize];
  char8 version[kVersionSize];
  char8 sdkVersion[kVersionSize];

  PClassInfo2()
      : cid{}, cardinality(0), category{}, name{}, classFlags(0), subCategories{}, vendor{}, version{},
        sdkVersion{} {}
  PClassInfo2(const TUID classId, int32 cardinalityValue, const char8* categoryText, const char8* nameText,
              uint32 classFlagBits, const char8* subCategoriesText, const char8* vendorText,
              const char8* versionText, const char8* sdkVersionText)
      : cardinality(cardinalityValue), classFlags(classFlagBits) {
    FUID::fromTUID(classId).toTUID(cid);
    strncpy8(category, categoryText, kCategorySize);
    strncpy8(name, nameText, kNameSize);
    strncpy8(subCategories, subCategoriesText, kSubCategoriesSize);
    strncpy8(vendor, vendorText, kVendorSize);
    strncpy8(version, versionText, kVersionSize);
    strncpy8(sdkVersion, sdkVersionText, kVersionSize);
  }
};

// PClassInfo2 with the free-text fields in UTF-16; category and
// subCategories stay 8-bit.
struct PClassInfoW {
  enum {
    kCategorySize = PClassInfo::kCategorySize,
    kNameSize = PClassInfo::kNameSize,
    kSubCategoriesSize = 128,
    kVendorSize = 64,
    kVersionSize = 64
  };

  TUID cid;
  int32 cardinality;
  char8 category[kCategorySize];
  char16 name[kNameSize];
  uint32 classFlags;
  char8 subCategories[kSubCategoriesSize];
  char16 vendor[kVendorSize];
  char16 version[kVersionSize];
  char16 sdkVersion[kVersionSize];

  PClassInfoW()
      : cid{}, cardinality(0), category{}, name{}, classFlags(0), subCategories{}, vendor{}, version{},
        sdkVersion{} {}
  // Widens each 8-bit field of `info` byte by byte.
  explicit PClassInfoW(const PClassInfo2& info) : cardinality(info.cardinality), classFlags(info.classFlags) {
    FUID::fromTUID(info.cid).toTUID(cid);
    strncpy8(category, info.category, kCategorySize);
    widen(name, info.name, kNameSize);
    strncpy8(subCategories, info.subCategories, kSubCategoriesSize);
    widen(vendor, info.vendor, kVendorSize);
    widen(version, info.version, kVersionSize);
    widen(sdkVersion, info.sdkVersion, kVersionSize);
  }
};

static_assert(sizeof(PFactoryInfo) == 452 && alignof(PFactoryInfo) == 4, "PFactoryInfo layout");
static_assert(offsetof(PFactoryInfo, url) == 64 && offsetof(PFactoryInfo, email) == 320 &&
                  offsetof(PFactoryInfo, flags) == 448,
              "PFactoryInfo offsets");
static_assert(sizeof(PClassInfo) == 116 && alignof(PClassInfo) == 4, "PClassInfo layout");
static_assert(offsetof(PClassInfo, cardinality) == 16 && offsetof(PClassInfo, category) == 20 &&
                  offsetof(PClassInfo, name) == 52,
              "PClassInfo offsets");
static_assert(sizeof(PClassInfo2) == 440 && alignof(PClassInfo2) == 4, "PClassInfo2 layout");
static_assert(offsetof(PClassInfo2, cardinality) == 16 && offsetof(PClassInfo2, category) == 20 &&
                  offsetof(PClassInfo2, name) == 52 && offsetof(PClassInfo2, classFlags) == 116 &&
                  offsetof(PClassInfo2, subCategories) == 120 && offsetof(PClassInfo2, vendor) == 248 &&
                  offsetof(PClassInfo2, version) == 312 && offsetof(PClassInfo2, sdkVersion) == 376,
              "PClassInfo2 offsets");
static_assert(sizeof(PClassInfoW) == 696 && alignof(PClassInfoW) == 4, "PClassInfoW layout");
static_assert(offsetof(PClassInfoW, category) == 20 && offsetof(PClassInfoW, name) == 52 &&
                  offsetof(PClassInfoW, classFlags) == 180 && offsetof(PClassInfoW, subCategories) == 184 &&
                  offsetof(PClassInfoW, vendor) == 312 && offsetof(PClassInfoW, version) == 440 &&
                  offsetof(PClassInfoW, sdkVersion) == 568,
              "PClassInfoW offsets");

class IPluginFactory : public FUnknown {
public:
  virtual tresult PLUGIN_API getFactoryInfo(PFactoryInfo* info) = 0;
  virtual int32 PLUGIN_API countClasses() = 0;
  virtual tresult PLUGIN_API getClassInfo(int32 index, PClassInfo* info) = 0;
  // `cid` and `iid` each point to 16 binary bytes despite their type.
  virtual tresult PLUGIN_API createInstance(FIDString cid, FIDString iid, void** obj) = 0;

  static constexpr FUID iid{0x7A4D811C, 0x52114A1F, 0xAED9D2EE, 0x0B43BF9F};
};

class IPluginFactory2 : public IPluginFactory {
public:
  virtual tresult PLUGIN_API getClassInfo2(int32 index, PClassInfo2* info) = 0;

  static constexpr FUID iid{0x0007B650, 0xF24B4C0B, 0xA464EDB9, 0xF00B2ABB};
};

class IPluginFactory3 : public IPluginFactory2 {
public:
  virtual tresult PLUGIN_API getClassInfoUnicode(int32 index, PClassInfoW* info) = 0;
  virtual tresult PLUGIN_API setHostContext(FUnknown* context) = 0;

  static constexpr FUID iid{0x4555A2AB, 0xC1234E57, 0x9B122910, 0x36878931};
};

class IBStream;

class IPluginCompatibility : public FUnknown {
public:
  virtual tresult PLUGIN_API getCompatibilityJSON(IBStream* stream) = 0;

  static constexpr FUID iid{0x4AFD4B6A, 0x35D7C240, 0xA5C31414, 0xFB7D15E6};
};

} // namespace Steinberg
