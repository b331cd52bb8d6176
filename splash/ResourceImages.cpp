#include "splash/ResourceImages.h"

namespace {

const WORD kIconId = 101;
const WORD kSplashId = 102;
const WORD kTitleId = 103;
const WORD kDonateUpId = 104;
const WORD kDonateDownId = 105;

void DeleteBitmap(HBITMAP* bitmap) {
  if (*bitmap != NULL) DeleteObject(*bitmap);
  *bitmap = NULL;
}

}  // namespace

ResourceImages::ResourceImages(HINSTANCE instanceHandle)
    : icon(NULL),
      splashPicture(NULL),
      titlePicture(NULL),
      donateUp(NULL),
      donateDown(NULL),
      instance(instanceHandle) {}

ResourceImages::~ResourceImages() { Release(); }

void ResourceImages::Load() {
  icon = LoadIconW(instance, MAKEINTRESOURCE(kIconId));
  splashPicture = LoadBitmapW(instance, MAKEINTRESOURCE(kSplashId));
  titlePicture = LoadBitmapW(instance, MAKEINTRESOURCE(kTitleId));
  donateUp = LoadBitmapW(instance, MAKEINTRESOURCE(kDonateUpId));
  donateDown = LoadBitmapW(instance, MAKEINTRESOURCE(kDonateDownId));
}

void ResourceImages::Release() {
  DeleteBitmap(&splashPicture);
  DeleteBitmap(&titlePicture);
  DeleteBitmap(&donateUp);
  DeleteBitmap(&donateDown);
  // A loaded icon belongs to the system; it is only forgotten.
  icon = NULL;
}
