#include "EndpointFolder.h"
#include "InstanceLock.h"
#include "PlatformError.h"
#include "TempRuntimeDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

TEST(EndpointFolder, IsCreatedPrivateInsideTheRuntimeFolder) {
  TTempRuntimeDir runtime;
  const std::string folder = perch::EnsureEndpointFolder();
  EXPECT_EQ(folder, runtime.Folder());
  struct stat info {};
  ASSERT_EQ(stat(folder.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  EXPECT_EQ(perch::EnsureEndpointFolder(), folder);  // a second call accepts it
}

TEST(EndpointFolder, WithoutARuntimeFolderLivesInTmpPerUser) {
  TTempRuntimeDir runtime;
  unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(perch::EndpointFolderPath(), "/tmp/perch-" + std::to_string(getuid()));
  setenv("XDG_RUNTIME_DIR", "relative/path", 1);  // not a usable runtime folder
  EXPECT_EQ(perch::EndpointFolderPath(), "/tmp/perch-" + std::to_string(getuid()));
}

TEST(EndpointFolder, RefusesAFolderOthersCanEnterOrASymlink) {
  TTempRuntimeDir runtime;
  ASSERT_EQ(mkdir(runtime.Folder().c_str(), 0755), 0);
  chmod(runtime.Folder().c_str(), 0755);
  EXPECT_THROW(perch::EnsureEndpointFolder(), perch::TPlatformError);

  std::filesystem::remove(runtime.Folder());
  const std::string elsewhere = runtime.Path() + "/elsewhere";
  ASSERT_EQ(mkdir(elsewhere.c_str(), 0700), 0);
  std::filesystem::create_directory_symlink(elsewhere, runtime.Folder());
  EXPECT_THROW(perch::EnsureEndpointFolder(), perch::TPlatformError);
}

TEST(InstanceLock, OnlyOneHolderUntilItIsReleased) {
  TTempRuntimeDir runtime;
  const std::string folder = perch::EnsureEndpointFolder();
  {
    perch::TInstanceLock first(folder);
    ASSERT_TRUE(first.Acquired());
    perch::TInstanceLock second(folder);
    EXPECT_FALSE(second.Acquired());
  }
  perch::TInstanceLock again(folder);
  EXPECT_TRUE(again.Acquired());
  EXPECT_TRUE(std::filesystem::exists(folder + "/Only One Instance.lock"));
}
