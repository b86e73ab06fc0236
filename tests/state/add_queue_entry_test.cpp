#include "state/add_queue_entry.h"

#include "state/queue_file.h"
#include "state/state_fixture.h"
#include "text/cp866.h"

namespace vm {
namespace {

class AddQueueEntryTest : public StateFixture {
 protected:
  AddQueueEntryTest() : drive_("VELDMARK_DRIVE_C", dir.path()) {
    dir.WriteFile("out/file.zip", "zip bytes");
    dir.WriteFile("other/file.zip", "other bytes");
    dir.MakeDirectory("tmp");
  }

  QueueEntryRequest Request(std::string path) {
    QueueEntryRequest r;
    r.path = std::move(path);
    r.areaId = "sc:\\fido\\sq\\ru.uue\\";
    r.origText = "2:5020/9999";
    r.destText = "100.1";
    r.templatePath = "c:\\veldmark\\veldmark.tpl";
    r.linesPerSection = 120;
    r.allowance = 7;
    r.sentToday = 3;
    return r;
  }
  QueueEntry* Add(const QueueEntryRequest& request) {
    return AddQueueEntry(queue, request, QueueContext{settings, console, askRetry});
  }

  ScopedEnvironment drive_;
  SendQueue queue;
  std::function<bool()> askRetry;
};

TEST_F(AddQueueEntryTest, FillsTheEntryFromTheRequest) {
  QueueEntryRequest request = Request("c:\\out\\file.zip");
  request.fromName = std::string(60, 'f');
  request.toName = std::string(51, 't');
  request.subject = std::string(55, 's');
  request.postedName = "a_long_posted_name.zip";
  QueueEntry* entry = Add(request);
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->path, "C:\\OUT\\FILE.ZIP");
  EXPECT_EQ(entry->areaId, "SC:\\FIDO\\SQ\\RU.UUE");
  EXPECT_EQ(entry->templatePath, "C:\\VELDMARK\\VELDMARK.TPL");
  EXPECT_EQ(entry->fromName.size(), 50u);
  EXPECT_EQ(entry->toName.size(), 50u);
  EXPECT_EQ(entry->subject.size(), 50u);
  EXPECT_EQ(entry->postedName, "a_long_posted_");
  EXPECT_EQ(entry->origAddress, (NetAddress{2, 5020, 9999, 0}));
  EXPECT_EQ(entry->destAddress, (NetAddress{2, 5020, 100, 1})) << "ADDRESS fills the gaps";
  EXPECT_EQ(entry->allowedToday, 7);
  EXPECT_EQ(entry->sentToday, 3);

  request.flags = kLimitOverride;
  request.destText = "not an address";
  entry = Add(request);
  EXPECT_EQ(entry->allowedToday, 3) << "an overriding entry starts from its sent count";
  EXPECT_TRUE(entry->destAddress.IsEmpty());
  EXPECT_EQ(queue.size(), 2u);

  EXPECT_EQ(Add(Request("a.b")), nullptr) << "a path shorter than 4 characters";
  EXPECT_EQ(queue.size(), 2u);
}

TEST_F(AddQueueEntryTest, FileOutsideTempPathIsCopiedThere) {
  settings.TEMPPATH = "C:\\TMP\\";
  QueueEntry* entry = Add(Request("C:\\OUT\\FILE.ZIP"));
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->path, "C:\\TMP\\FILE.ZIP");
  EXPECT_EQ(dir.ReadFile("tmp/FILE.ZIP"), "zip bytes");

  // Already in TEMPPATH (written in another case): posted from where it is.
  EXPECT_EQ(Add(Request("c:\\tmp\\file.zip"))->path, "C:\\TMP\\FILE.ZIP");

  // Another file of the same name must not overwrite the copy the queue still holds.
  entry = Add(Request("C:\\OTHER\\FILE.ZIP"));
  EXPECT_EQ(entry->path, "C:\\TMP\\FILE~1.ZIP");
  EXPECT_EQ(dir.ReadFile("tmp/FILE.ZIP"), "zip bytes");
  EXPECT_EQ(dir.ReadFile("tmp/FILE~1.ZIP"), "other bytes");
  EXPECT_TRUE(console.output.empty());
}

TEST_F(AddQueueEntryTest, FailedCopyFromTheCommandLinePostsTheOriginal) {
  settings.TEMPPATH = "C:\\NO\\SUCH\\DIR\\";
  QueueEntry* entry = Add(Request("C:\\OUT\\FILE.ZIP"));
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->path, "C:\\OUT\\FILE.ZIP");
  EXPECT_EQ(console.output, Cp866("Ошибка копирования во временную директорию\n"));
}

TEST_F(AddQueueEntryTest, FailedCopyInTheShellIsRetriedOrGivenUp) {
  settings.TEMPPATH = "C:\\TMP\\";
  int asked = 0;
  askRetry = [&] {
    // The second try finds the file in place.
    if (++asked == 1) dir.WriteFile("out/late.zip", "late");
    return true;
  };
  QueueEntry* entry = Add(Request("C:\\OUT\\LATE.ZIP"));
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(entry->path, "C:\\TMP\\LATE.ZIP");

  askRetry = [&] { return false; };
  EXPECT_EQ(Add(Request("C:\\OUT\\MISSING.ZIP")), nullptr);
  EXPECT_EQ(queue.size(), 1u) << "the queue stays as it was";
  EXPECT_FALSE(dir.Exists("tmp/MISSING.ZIP"));
}

TEST_F(AddQueueEntryTest, EntryLoadedFromOutsideTempPathIsCopiedOnLoad) {
  RunState state;
  AddQueueEntry(state.queue, Request("C:\\OUT\\FILE.ZIP"), QueueContext{settings, console, {}});
  WriteQueueFile(paths, state);

  settings.TEMPPATH = "C:\\TMP\\";
  RunState loaded;
  ReadQueueFile(paths, loaded, QueueContext{settings, console, {}}, log);
  ASSERT_EQ(loaded.queue.size(), 1u);
  EXPECT_EQ(loaded.queue.front().path, "C:\\TMP\\FILE.ZIP");
  EXPECT_EQ(dir.ReadFile("tmp/FILE.ZIP"), "zip bytes");
}

}  // namespace
}  // namespace vm
