#include "SampleTexts.h"

#include "EDiscError.h"

#include <iterator>

namespace {

// The texts are stored as the disc carries them: Windows-1252 bytes with CRLF line breaks.
// A hex escape swallows the hex digits after it: split the literal where one follows.
const char ZipText[] = "Packs files into small\r\n"
                       "archives and opens the\r\n"
                       "ones you\x92ve downloaded.";

const char FlashText[] = "Plays the animations\r\n"
                         "and cartoons you\x92ll find\r\n"
                         "on many web sites.";

const char AcrobatText[] = "Reads and prints the\r\n"
                           "manuals, brochures and\r\n"
                           "r\xe9sum\xe9s you receive.";

const char RealText[] = "Listen to \x93live\x94 radio\r\n"
                        "and watch video clips\r\n"
                        "as they stream in.";

const char SampleText[] = "PhotoPal 2.0 \x96 photo editing\r\n"
                          "Crop, brighten and retouch your\r\n"
                          "photos, remove red eye and print\r\n"
                          "them at home. Free for 30 days.\r\n"
                          "\xa9 1999 Lanternfish Software";

const char ExtraFileText[] = "Ready-made templates for letters,\r\n"
                             "budgets, addresses and more.\r\n"
                             "\r\n"
                             "Double-click a template to copy it\r\n"
                             "to your hard disk. We\x92ll put the\r\n"
                             "other templates, pictures and\r\n"
                             "sounds beside it and open the\r\n"
                             "folder, ready to use. Click Help\r\n"
                             "for more.";

struct Program
{
    const char *slot;
    const char *kind;
};

// The sample program first, then the four toolbox programs in their slot order.
constexpr Program Programs[] = {
    {"Sampleware", "the sample program, the PhotoPal photo editor"},
    {"Toolbox slot 1 (WinZip)", "an archive utility"},
    {"Toolbox slot 2 (Flash)", "an animation player"},
    {"Toolbox slot 3 (Acrobat)", "a document reader"},
    {"Toolbox slot 4 (Real)", "a streaming-media player"},
};

const char OrderHtml[] = R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>Brindlemoor &ndash; Order Form</title>
<style>
  body { margin: 0; background: #eef2f0; font: 15px/1.5 "Liberation Sans", Arial, sans-serif; color: #1d2b26; }
  header { background: #1f5e4a; color: #fff; padding: 22px 40px; }
  header h1 { margin: 0; font: bold 28px Georgia, "Liberation Serif", serif; letter-spacing: 1px; }
  header p { margin: 4px 0 0; opacity: .85; }
  main { max-width: 760px; margin: 28px auto; background: #fff; padding: 28px 40px; border-radius: 6px;
         box-shadow: 0 2px 10px rgba(0,0,0,.12); }
  h2 { color: #1f5e4a; font-size: 19px; border-bottom: 2px solid #cfe0d9; padding-bottom: 4px; }
  table { width: 100%; border-collapse: collapse; margin: 8px 0 18px; }
  th, td { padding: 7px 10px; border-bottom: 1px solid #e2e8e5; text-align: left; }
  th { background: #f3f7f5; font-size: 13px; text-transform: uppercase; letter-spacing: .5px; }
  td.price, th.price { text-align: right; white-space: nowrap; }
  td.qty { width: 70px; }
  .box { display: inline-block; width: 48px; height: 22px; border: 1px solid #8aa79b; }
  .line { border-bottom: 1px solid #8aa79b; height: 28px; margin-bottom: 6px; }
  .label { font-size: 13px; color: #4b6158; }
  .pay span { display: inline-block; margin-right: 26px; }
  .pay span::before { content: ""; display: inline-block; width: 12px; height: 12px; border: 1px solid #4b6158;
                      margin-right: 6px; vertical-align: -1px; }
  .post { background: #f3f7f5; padding: 14px 18px; border-left: 4px solid #1f5e4a; }
  footer { text-align: center; font-size: 12px; color: #66786f; margin-bottom: 28px; }
  @media print { body { background: #fff; } main { box-shadow: none; margin: 0 auto; } }
</style>
</head>
<body>
<header>
  <h1>BRINDLEMOOR</h1>
  <p>Back issues, binders and disc cases &ndash; order form</p>
</header>
<main>
  <h2>1. What would you like?</h2>
  <table>
    <tr><th>Item</th><th class="price">Price</th><th>Quantity</th></tr>
    <tr><td>Back issue with its CD-ROM (please give the issue numbers below)</td><td class="price">&pound;3.99</td><td class="qty"><span class="box"></span></td></tr>
    <tr><td>Brindlemoor binder &ndash; holds twelve issues</td><td class="price">&pound;6.50</td><td class="qty"><span class="box"></span></td></tr>
    <tr><td>CD-ROM wallet &ndash; holds twelve discs</td><td class="price">&pound;4.95</td><td class="qty"><span class="box"></span></td></tr>
    <tr><td>Postage and packing, per order</td><td class="price">&pound;1.50</td><td class="qty">1</td></tr>
  </table>
  <div class="label">Issue numbers</div><div class="line"></div>

  <h2>2. Your details</h2>
  <div class="label">Name</div><div class="line"></div>
  <div class="label">Address</div><div class="line"></div><div class="line"></div>
  <div class="label">Postcode</div><div class="line"></div>
  <div class="label">Daytime telephone</div><div class="line"></div>

  <h2>3. Payment</h2>
  <p class="pay"><span>Cheque or postal order</span><span>Credit card</span><span>Debit card</span></p>
  <div class="label">Card number and expiry date</div><div class="line"></div>
  <div class="label">Signature</div><div class="line"></div>

  <h2>4. Send it to us</h2>
  <p class="post">Print this page, fill it in and post it with your payment to:<br>
     <strong>Brindlemoor Back Issues, Freepost BM 4417, Market Harborough LE16 0ZZ</strong><br>
     Or order by telephone on <strong>01632 960 471</strong>, Monday to Friday, 9am to 5pm.<br>
     Cheques payable to &ldquo;Brindlemoor Publishing&rdquo;. Please allow 28 days for delivery.</p>
</main>
<footer>&copy; Brindlemoor Publishing. Prices include VAT and apply to orders within the UK.</footer>
</body>
</html>
)";

const char HelpHtml[] = R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>Brindlemoor &ndash; Help with the extra files</title>
<style>
  body { margin: 0; background: #f4f1ea; font: 15px/1.55 "Liberation Sans", Arial, sans-serif; color: #2a2620; }
  header { background: #3b4f7a; color: #fff; padding: 20px 40px; }
  header h1 { margin: 0; font-size: 24px; }
  main { max-width: 720px; margin: 26px auto; background: #fff; padding: 24px 40px 30px; border-radius: 6px;
         box-shadow: 0 2px 10px rgba(0,0,0,.12); }
  h2 { color: #3b4f7a; font-size: 18px; margin-top: 26px; }
  ol li, ul li { margin-bottom: 6px; }
  code { background: #eef0f6; padding: 1px 5px; border-radius: 3px; font-family: "Liberation Mono", monospace; }
  .tip { background: #fff8e0; border-left: 4px solid #e0b030; padding: 10px 16px; }
  table { border-collapse: collapse; }
  td { padding: 4px 16px 4px 0; }
</style>
</head>
<body>
<header><h1>Help with the extra files</h1></header>
<main>
  <p>The extra-files page lists the ready-made templates on this disc. A template is a document with the
     layout already done: you fill in your own words and figures.</p>

  <h2>Copying a template to your computer</h2>
  <ol>
    <li>Double-click the template you want in the list.</li>
    <li>The first time, you are asked where to put it. The suggested folder is
        <code>%1</code> in your home folder; click <strong>Browse</strong> to choose another one.</li>
    <li>The menu copies the template there, together with the other templates, the pictures (into a folder
        called <code>Images</code>) and the sounds (into <code>Sounds</code>).</li>
    <li>The folder then opens. Double-click the template to start working on it.</li>
  </ol>
  <p class="tip">The menu remembers where each template went. Next time you double-click it, the folder opens
     straight away &ndash; your own changes to the copy are kept.</p>

  <h2>Which program opens which template?</h2>
  <table>
    <tr><td><code>.doc</code>, <code>.wps</code></td><td>a word processor</td></tr>
    <tr><td><code>.xls</code>, <code>.wks</code></td><td>a spreadsheet</td></tr>
    <tr><td><code>.mdb</code></td><td>a database program</td></tr>
  </table>
  <p>Any office suite that reads these formats will do.</p>

  <h2>Something not working?</h2>
  <ul>
    <li>If nothing happens when you double-click, check that there is room on your hard disk and that you may
        write to the folder you chose.</li>
    <li>If a template will not open, your computer has no program for its type: install an office suite and
        try again.</li>
  </ul>
</main>
</body>
</html>
)";

} // namespace

namespace SampleTexts {

QList<File> Descriptions()
{
    return {
        {QStringLiteral("Zip.txt"), QByteArray(ZipText)},
        {QStringLiteral("Flash.txt"), QByteArray(FlashText)},
        {QStringLiteral("Acrobat.txt"), QByteArray(AcrobatText)},
        {QStringLiteral("Real.txt"), QByteArray(RealText)},
        {QStringLiteral("Sample.txt"), QByteArray(SampleText)},
        {QStringLiteral("Extra File.txt"), QByteArray(ExtraFileText)},
    };
}

QByteArray SetupPlaceholder(int tool)
{
    if (tool < 0 || tool >= static_cast<int>(std::size(Programs)))
        throw EDiscError(QStringLiteral("there is no installer number %1").arg(tool));
    const Program &program = Programs[tool];
    return QByteArray("Brindlemoor sample disc - ") + program.slot +
           "\r\n\r\n"
           "This file stands in for the installer of " +
           program.kind +
           ".\r\n"
           "It installs nothing. A publisher puts the real installer here,\r\n"
           "under the same name, when mastering a disc.\r\n";
}

QByteArray OrderPage()
{
    return QByteArray(OrderHtml);
}

QByteArray HelpPage(std::int32_t discNumber)
{
    return QString::fromUtf8(HelpHtml).arg(QStringLiteral("BrindlePC/CD-ROM%1").arg(discNumber)).toUtf8();
}

} // namespace SampleTexts
