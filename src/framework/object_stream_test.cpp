#include "framework/object_stream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/factory.h"
#include "framework/initializer.h"
#include "framework/testing_log_capture.h"
#include "framework/testing_node.h"

namespace {

std::vector<uint8_t> BytesOf(const ObjectStream& stream) {
    return std::vector<uint8_t>(stream.Bytes().begin(), stream.Bytes().end());
}

std::vector<uint8_t> Concat(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

std::vector<uint8_t> Text(const char* text) {
    const std::string bytes = std::string(1, static_cast<char>(std::strlen(text))) + std::string(3, '\0') + text;
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

ByteBuffer Buffer(const std::vector<uint8_t>& bytes) {
    ByteBuffer buffer;
    buffer.AppendRange(bytes.data(), static_cast<int32_t>(bytes.size()));
    return buffer;
}

class StreamTest : public ::testing::Test {
protected:
    // Container values find their element kinds through the factory table.
    void SetUp() override { RunInitializers(); }

    NodeType nodeType;
};

TEST_F(StreamTest, ValuesAreWrittenLittleEndianWithoutPadding) {
    int32_t number = 0x01020304;
    float single = 1.0f;
    double twice = -2.0;
    bool yes = true;
    String text("abc");
    std::u16string wide = u"\u00e4";
    ObjectStream stream;
    AttributeInt(&number).SaveValue(stream);
    AttributeFloat(&single).SaveValue(stream);
    AttributeDouble(&twice).SaveValue(stream);
    AttributeBool(&yes).SaveValue(stream);
    AttributeString(&text).SaveValue(stream);
    AttributeWstring(&wide).SaveValue(stream);

    EXPECT_EQ(BytesOf(stream), Concat({{4, 3, 2, 1},
                                       {0, 0, 0x80, 0x3F},
                                       {0, 0, 0, 0, 0, 0, 0, 0xC0},
                                       {1},
                                       {3, 0, 0, 0, 'a', 'b', 'c'},
                                       {2, 0, 0, 0, 0xC3, 0xA4}}));
}

TEST_F(StreamTest, HomogeneousIntArrayNamesItsElementTypeOnce) {
    Node node;
    node.numbers.Append(1);
    node.numbers.Append(2);
    ObjectStream stream;
    AttributeArray(&node.numbers).SaveValue(stream);
    EXPECT_EQ(BytesOf(stream), Concat({{0}, {2, 0, 0, 0}, Text("Wm3.AttributeInt"), {1, 0, 0, 0}, {2, 0, 0, 0}}));
}

TEST_F(StreamTest, ReadingIsLenientButNeverPassesTheEnd) {
    ObjectStream stream(Buffer({7, 0xFF, 0xFF, 0xFF, 0xFF, 5, 0, 0, 0, 'a'}), 1, 10);
    EXPECT_TRUE(stream.ReadBool());
    EXPECT_EQ(stream.ReadString(), String());  // negative length
    EXPECT_FALSE(stream.Failed());
    EXPECT_EQ(stream.ReadString(), String());  // five bytes announced, one left
    EXPECT_TRUE(stream.Failed());
    EXPECT_EQ(stream.ReadInt(), 0);

    // A container count beyond the buffer is refused before anything is allocated.
    Node node;
    ObjectStream huge(Buffer({0, 0xFF, 0xFF, 0xFF, 0x7F}), 1, 10);
    AttributeArray(&node.numbers).LoadValue(huge);
    EXPECT_TRUE(huge.Failed());
    EXPECT_EQ(node.numbers.Count(), 0);
}

TEST_F(StreamTest, RecordsBeforeVersionOneTwoCarryFourMoreBytes) {
    const std::vector<uint8_t> current = Concat({{9, 0, 0, 0}, Text("n")});
    const std::vector<uint8_t> old = Concat({current, {0xAA, 0xBB, 0xCC, 0xDD}});
    for (auto [bytes, minor] : {std::pair{current, 10}, std::pair{old, 1}}) {
        SCOPED_TRACE(minor);
        ObjectStream stream(Buffer(bytes), 1, minor);
        Object* object = new Object();
        object->Load(stream);
        EXPECT_EQ(object->Name(), String("n"));
        EXPECT_EQ(stream.Position(), static_cast<int32_t>(bytes.size()));
        EXPECT_EQ(stream.LoadedObject(9), object);
        EXPECT_EQ(object->StreamSizeForVersion(1, minor), 4 + 10 + static_cast<int32_t>(bytes.size()));
        delete object;
    }
}

// Loads every record of the stream as a Node, as a file loader would after reading the type.
std::vector<Node*> LoadNodes(ObjectStream& stream) {
    std::vector<Node*> nodes;
    while (stream.Remaining() > 0 && !stream.Failed()) {
        EXPECT_EQ(stream.ReadString(), String("Wm3.TestNode"));
        Node* node = new Node();
        node->AddReference();
        node->Load(stream);
        nodes.push_back(node);
    }
    stream.Link();
    return nodes;
}

Attribute* Allocated(const char* kind, const void* value) {
    Attribute* attribute = CreateAttribute(String(kind));
    attribute->AllocateValue();
    attribute->SetValue(value);
    attribute->AddReference();
    return attribute;
}

TEST_F(StreamTest, EveryKindSurvivesSaveAndLoadAndLinkingRebuildsReferences) {
    Node* first = new Node();
    Node* second = new Node();
    first->AddReference();
    first->SetName(String("first"));
    second->SetName(String("second"));
    first->count = -5;
    first->ratio = 0.25f;
    first->weight = 1e100;
    first->flag = true;
    first->label = String("label");
    first->wide = u"wide \u20ac";
    AttributeObject(&first->next).SetValue(&second);
    first->numbers.Append(3);
    first->numbers.Append(-4);
    first->table.Insert(String("one"), 1);
    first->table.Insert(String("two"), 2);
    first->set.Insert(8);
    first->sortedSet.Insert(1);
    first->sortedSet.Insert(2);
    const int32_t ten = 10, eleven = 11;
    first->list.push_back(Allocated("int", &ten));
    first->list.push_back(Allocated("int", &eleven));
    Object* linked[] = {second, nullptr};
    for (Object* link : linked) {
        AttributeObject(first->links.Append(nullptr)).SetValue(&link);
    }
    const String text("mixed");
    first->mixed.Append(Allocated("String", &text));
    first->mixed.Append(Allocated("Object", &first));

    ObjectStream out;
    ObjectLogCapture log;
    out.Register(first);
    out.WriteObjects();
    ASSERT_FALSE(out.Failed());
    EXPECT_EQ(out.Bytes().Count(), first->StreamSize() + second->StreamSize());
    EXPECT_TRUE(log.Has(" object first, registering CA 6: next"));
    EXPECT_TRUE(log.Has("AttributeObject second, registering"));
    EXPECT_TRUE(log.Has("AttributeArray, registering"));
    // "second" is referenced by its own record, by "next" and by "links".
    ASSERT_NE(out.ReferencePositions(second), nullptr);
    EXPECT_EQ(out.ReferencePositions(second)->Count(), 3);

    ObjectStream in(out.Bytes(), ObjectStream::kMajor, ObjectStream::kMinor);
    std::vector<Node*> nodes = LoadNodes(in);
    ASSERT_FALSE(in.Failed());
    ASSERT_EQ(nodes.size(), 2u);
    Node& a = *nodes[0];
    Node& b = *nodes[1];
    EXPECT_EQ(a.Name(), String("first"));
    EXPECT_EQ(a.count, -5);
    EXPECT_EQ(a.ratio, 0.25f);
    EXPECT_EQ(a.weight, 1e100);
    EXPECT_TRUE(a.flag);
    EXPECT_EQ(a.label, String("label"));
    EXPECT_EQ(a.wide, u"wide \u20ac");
    EXPECT_EQ(a.next, &b);
    EXPECT_EQ(b.next, nullptr);
    ASSERT_EQ(a.numbers.Count(), 2);
    EXPECT_EQ(a.numbers.At(1), -4);
    ASSERT_EQ(a.table.Count(), 2);
    EXPECT_EQ(*a.table.Find(String("two")), 2);
    EXPECT_EQ(a.set.Quantity(), 1);
    EXPECT_EQ(a.sortedSet.Quantity(), 2);
    ASSERT_EQ(a.list.size(), 2u);
    EXPECT_EQ(*static_cast<int32_t*>(a.list.back()->value), 11);
    ASSERT_EQ(a.links.Count(), 2);
    EXPECT_EQ(a.links.At(0), &b);
    EXPECT_EQ(a.links.At(1), nullptr);
    ASSERT_EQ(a.mixed.Count(), 2);
    EXPECT_EQ(*static_cast<String*>(a.mixed.At(0)->value), String("mixed"));
    EXPECT_EQ(*static_cast<Object**>(a.mixed.At(1)->value), &a);
    EXPECT_TRUE(log.Has(" loaded object 'first', hash = 1"));
    EXPECT_TRUE(log.Has("  AttributeInt loading, value=-5"));
    EXPECT_TRUE(log.Has("  AttributeArray loading, membercount=2"));
    EXPECT_TRUE(log.Has("  object first, linking CA 6: next (hash 2) to object 'second' ['Wm3.TestNode']"));
    EXPECT_TRUE(log.Has("  array linking index 0: 'links' (hash 2) to object 'second' ['Wm3.TestNode']"));

    // Both graphs hold themselves through "mixed"; cut that before letting go.
    for (Node* node : {first, &a}) {
        for (Attribute* element : node->mixed) element->ReleaseReference();
        node->mixed.SetCount(0);
    }
    first->ReleaseReference();
    for (Node* node : nodes) node->ReleaseReference();
    EXPECT_FALSE(Object::IsLive(&b));
}

TEST_F(StreamTest, ReferencesOutsideTheStreamAreWrittenAndLinkedAsNull) {
    Object* stray = new Object();
    ObjectStream out;
    out.WriteObjectReference(stray);
    EXPECT_EQ(BytesOf(out), (std::vector<uint8_t>{0, 0, 0, 0}));
    delete stray;

    Object* slot = nullptr;
    AttributeObject reference(&slot);
    ObjectStream in(Buffer({77, 0, 0, 0}), 1, 10);
    reference.LoadValue(in);
    uint32_t oldAddress = 0;
    Object* target = &reference;
    ASSERT_TRUE(reference.Relink(in, oldAddress, target));
    EXPECT_EQ(oldAddress, 77u);
    EXPECT_EQ(target, nullptr);
    EXPECT_EQ(slot, nullptr);
    EXPECT_FALSE(reference.Relink(in, oldAddress, target));  // linked once only
}

TEST_F(StreamTest, ListOfMixedKindsIsRefusedRatherThanWrittenUnreadably) {
    const int32_t number = 1;
    const String text("x");
    DoubleLinkedList list = {Allocated("int", &number), Allocated("String", &text)};
    ObjectStream stream;
    ObjectLogCapture log;
    AttributeDoubleLinkedList(&list).SaveValue(stream);
    EXPECT_TRUE(stream.Failed());
    EXPECT_EQ(stream.Bytes().Count(), 0);
    for (Attribute* element : list) element->ReleaseReference();

    // An empty list still writes its one (empty) keyword.
    DoubleLinkedList empty;
    ObjectStream written;
    AttributeDoubleLinkedList(&empty).SaveValue(written);
    EXPECT_EQ(BytesOf(written), Concat({{1}, {0, 0, 0, 0}, {0, 0, 0, 0}}));
}

}  // namespace
