// The icon and the four bitmaps stored in the executable: the application
// icon, the splash picture, the About page's title and the donation button's
// two images. The record owns the bitmaps; the icon is shared by the system.
#pragma once

#include <windows.h>

class ResourceImages {
 public:
  explicit ResourceImages(HINSTANCE instance);
  ~ResourceImages();

  // Icon 101, then bitmaps 102 to 105; one that fails to load stays NULL.
  void Load();
  // Deletes the bitmaps and forgets every handle; a second call does nothing.
  void Release();

  HICON Icon() const { return icon; }
  HBITMAP SplashPicture() const { return splashPicture; }
  HBITMAP TitlePicture() const { return titlePicture; }
  HBITMAP DonateUp() const { return donateUp; }
  HBITMAP DonateDown() const { return donateDown; }

 private:
  ResourceImages(const ResourceImages&) = delete;
  ResourceImages& operator=(const ResourceImages&) = delete;

  HICON icon;
  HBITMAP splashPicture;
  HBITMAP titlePicture;
  HBITMAP donateUp;
  HBITMAP donateDown;
  HINSTANCE instance;
};
