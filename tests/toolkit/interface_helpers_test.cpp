#include <gtest/gtest.h>

#include "platform/dispatch/run_loop.h"
#include "platform/ui/views/screen.h"
#include "platform/ui/views/window.h"
#include "toolkit/attribute_conversions.h"
#include "toolkit/constraint_multiplier.h"
#include "toolkit/image_helpers.h"
#include "toolkit/monospaced_digits.h"
#include "toolkit/stack_view_builder.h"
#include "toolkit/text_input_alert.h"

namespace reelhaven {
namespace {

TEST(MonospacedDigitsTest, AddsNumberSpacingFeatureAndEvensDigitWidths) {
    const ui::FontDescriptor plain("Inter-Regular", 15);
    const auto mono = withMonospacedDigits(plain);
    EXPECT_EQ(mono.featureSettings(), (std::vector<ui::FontFeature>{{6, 0}}));
    EXPECT_EQ(mono.pointSize(), 15);
    const auto font = ui::Font::fromDescriptor(mono, 0);  // size 0 keeps the descriptor's
    EXPECT_EQ(font.pointSize(), 15);
    EXPECT_DOUBLE_EQ(font.widthOf("11:11"), font.widthOf("00:00"));
    const auto proportional = ui::Font::fromDescriptor(plain, 0);
    EXPECT_LT(proportional.widthOf("1111"), proportional.widthOf("0000"));
}

TEST(ImageHelpersTest, PaddingGrowsByInsetsTimesScaleAndKeepsRenderingMode) {
    gfx::Image pixels(4, 4);
    pixels.fill(gfx::Color::white());
    auto image = ui::Image::create(pixels, 2)->withRenderingMode(ui::ImageRenderingMode::alwaysTemplate);
    auto padded = imageWithInsets(*image, {1, 1, 1, 1});
    ASSERT_NE(padded, nullptr);
    EXPECT_EQ(padded->size(), (ui::Size{6, 6}));  // 2 + 2 x 2 points each way
    EXPECT_EQ(padded->scale(), 2);
    EXPECT_EQ(padded->renderingMode(), ui::ImageRenderingMode::alwaysTemplate);
    const auto bitmap = padded->cgImage();
    EXPECT_EQ(bitmap->pixel(0, 0).a, 0);                               // the inset stays transparent
    EXPECT_EQ(bitmap->pixel(4, 4), (gfx::Pixel{255, 255, 255, 255}));  // the image starts at 2 points in
    EXPECT_EQ(bitmap->pixel(3, 3).a, 0);
}

TEST(ImageHelpersTest, APaddedSymbolKeepsItsNameTintAndConfiguration) {
    const ui::SymbolConfiguration configuration{22, ui::SymbolWeight::medium, ui::SymbolScale::large};
    auto symbol = ui::Image::systemImage("folder.fill", configuration)->withTintColor(ui::Color::white());
    auto padded = imageWithInsets(*symbol, {5, 20, 5, 0});
    ASSERT_NE(padded, nullptr);
    EXPECT_EQ(padded->symbolName(), "folder.fill");
    EXPECT_EQ(padded->tintColor(), ui::Color::white());
    EXPECT_EQ(padded->symbolConfiguration(), configuration);
    EXPECT_EQ(padded->size(), (ui::Size{22 + 20 * symbol->scale(), 22 + 10 * symbol->scale()}));
    EXPECT_EQ(padded->padding(), (ui::EdgeInsets{5 * symbol->scale(), 20 * symbol->scale(), 5 * symbol->scale(), 0}));
}

TEST(ImageHelpersTest, FilledCircleFillsTheEllipseAtScreenScale) {
    auto circle = filledCircleImage(ui::Color::white(), {20, 20});
    ASSERT_NE(circle, nullptr);
    EXPECT_EQ(circle->size(), (ui::Size{20, 20}));
    const auto bitmap = circle->cgImage();
    const int side = static_cast<int>(20 * ui::Screen::main()->scale());
    EXPECT_EQ(bitmap->width(), side);
    EXPECT_EQ(bitmap->pixel(side / 2, side / 2), (gfx::Pixel{255, 255, 255, 255}));
    EXPECT_EQ(bitmap->pixel(0, 0).a, 0);
    auto clear = filledCircleImage(ui::Color::clear(), {20, 20});
    EXPECT_EQ(clear->cgImage()->pixel(side / 2, side / 2).a, 0);
}

TEST(ImageHelpersTest, DecodedCopyKeepsPixelsOrFallsBack) {
    gfx::Image pixels(3, 2);
    pixels.setPixel(1, 1, {10, 20, 30, 255});
    auto image = ui::Image::create(pixels, 2);
    auto decoded = decodedImage(image);
    ASSERT_NE(decoded, image);
    EXPECT_EQ(*decoded->cgImage(), pixels);
    EXPECT_EQ(decoded->scale(), 1);
    auto symbol = ui::Image::systemImage("play.fill");
    EXPECT_EQ(decodedImage(symbol), symbol);
    EXPECT_FALSE(beginContentAccess(*image));
    EXPECT_FALSE(isContentDiscarded(*image));
}

TEST(TextInputAlertTest, PresentsOneFieldWithActionThenCancel) {
    dispatch::ScopedMainRunLoop loop;
    auto window = ui::Window::create();
    auto root = ui::ViewController::create();
    window->setRootViewController(root);
    window->makeKeyAndVisible();
    std::optional<std::optional<std::string>> received;
    int cancels = 0;
    presentTextInputAlert(
        *root, "Add Language", "Code", "Add", "Cancel", "en", ui::KeyboardType::asciiCapable,
        [&](ui::AlertAction&) { ++cancels; }, [&](std::optional<std::string> text) { received = text; });
    auto alert = std::dynamic_pointer_cast<ui::AlertController>(root->presentedViewController());
    ASSERT_NE(alert, nullptr);
    EXPECT_TRUE(alert->isBeingPresented());  // animated
    ASSERT_EQ(alert->textFields().size(), 1u);
    EXPECT_EQ(alert->textFields()[0]->placeholder(), "en");
    EXPECT_EQ(alert->textFields()[0]->keyboardType(), ui::KeyboardType::asciiCapable);
    ASSERT_EQ(alert->actions().size(), 2u);
    EXPECT_EQ(alert->actions()[0]->title(), "Add");
    EXPECT_EQ(alert->actions()[0]->style(), ui::AlertActionStyle::defaultStyle);
    EXPECT_EQ(alert->actions()[1]->style(), ui::AlertActionStyle::cancel);
    loop.advanceSeconds(1);
    alert->textFields()[0]->type("fr");
    EXPECT_TRUE(alert->tapAction("Add"));
    EXPECT_EQ(received, std::optional<std::string>("fr"));
    EXPECT_EQ(root->presentedViewController(), nullptr);

    received.reset();
    presentTextInputAlert(*root, std::nullopt, std::nullopt, "Add", "Cancel", std::nullopt,
                          ui::KeyboardType::defaultType, nullptr,
                          [&](std::optional<std::string> text) { received = text; });
    auto second = std::dynamic_pointer_cast<ui::AlertController>(root->presentedViewController());
    loop.advanceSeconds(1);
    EXPECT_TRUE(second->tapAction("Add"));
    ASSERT_TRUE(received.has_value());
    EXPECT_FALSE(received->has_value());  // a field never typed in has no text
    EXPECT_EQ(cancels, 0);
}

TEST(ConstraintMultiplierTest, CopiesAllButPriorityIdentifierAndActivity) {
    auto parent = ui::View::create();
    auto child = ui::View::create();
    parent->addSubview(child);
    auto original = child->widthAnchor().constraint(parent->widthAnchor(), 0.5, 10);
    original->setPriority(250);
    original->setIdentifier("width");
    original->setActive(true);
    auto copy = withMultiplier(*original, 0.25);
    EXPECT_EQ(copy->firstItem(), original->firstItem());
    EXPECT_EQ(copy->secondItem(), original->secondItem());
    EXPECT_EQ(copy->firstAttribute(), ui::LayoutAttribute::width);
    EXPECT_EQ(copy->multiplier(), 0.25);
    EXPECT_EQ(copy->constant(), 10);
    EXPECT_EQ(copy->priority(), ui::LayoutPriority::required);
    EXPECT_EQ(copy->identifier(), "");
    EXPECT_FALSE(copy->isActive());
}

TEST(StackViewBuilderTest, ArrangesViewsInOrderWithTheSettings) {
    auto a = ui::View::create();
    auto b = ui::View::create();
    auto stack = makeStackView(ui::LayoutAxis::vertical, ui::StackViewDistribution::fillEqually,
                               ui::StackViewAlignment::center, 6, {a, b});
    EXPECT_EQ(stack->frame(), ui::Rect());
    EXPECT_FALSE(stack->translatesAutoresizingMaskIntoConstraints());
    EXPECT_EQ(stack->arrangedSubviews(), (std::vector<std::shared_ptr<ui::View>>{a, b}));
    EXPECT_EQ(stack->axis(), ui::LayoutAxis::vertical);
    EXPECT_EQ(stack->distribution(), ui::StackViewDistribution::fillEqually);
    EXPECT_EQ(stack->alignment(), ui::StackViewAlignment::center);
    EXPECT_EQ(stack->spacing(), 6);
}

TEST(AttributeConversionsTest, KeysBecomePlatformKeysWithValuesUnchanged) {
    const auto attributes = convertToAttributedStringKeys({{"NSColor", ui::Color::redColor()}, {"NSKern", 1.5}});
    EXPECT_EQ(std::any_cast<double>(attributes.at(ui::AttributedStringKey::kern())), 1.5);
    EXPECT_EQ(std::any_cast<ui::Color>(attributes.at(ui::AttributedStringKey::foregroundColor())),
              ui::Color::redColor());
    const auto descriptor = convertToFontDescriptorAttributes({{"NSFontSizeAttribute", 12.0}});
    EXPECT_EQ(std::any_cast<double>(descriptor.at(ui::FontDescriptorAttributeName::size())), 12.0);
}

}  // namespace
}  // namespace reelhaven
