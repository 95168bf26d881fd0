#include "app/IntroText.h"

QString IntroductionHtml() {
    return QStringLiteral(R"(
<p style="line-height: 135%; color:#9b1c1c; font-weight:bold;">快速阅读，从一篇文章开始</p>
<p style="line-height: 135%; text-indent: 28px;">快速阅读并不是草草翻过，而是让眼睛一次看进更多的字，让理解跟上眼睛。大多数人读书时眼睛一个字一个字地停顿，心里还默念一遍，速度自然受限。经过有计划的练习，眼睛每次停顿能看清一组词、半行甚至一整行，默念渐渐减少，阅读的速度和专注都会随之提高。</p>
<p style="line-height: 135%; color:#1f4e96; font-weight:bold;">两种练习方法</p>
<p style="line-height: 135%; text-indent: 28px;"><b>线式阅读</b>：文字按行依次亮起，引导视线沿着一条线平稳前进，不回看、不跳读，逐步加快节奏，培养连贯的阅读习惯。</p>
<p style="line-height: 135%; text-indent: 28px;"><b>止移跟读</b>：文字按组出现、停留、移走，视线跟着文字停下再移动，练习扩大每一次注视所能看清的范围。</p>
<p style="line-height: 135%; color:#1f4e96; font-weight:bold;">怎样练习</p>
<p style="line-height: 135%; text-indent: 28px;">在左边的书目中选好文章，勾选想要连续阅读的几篇，再到文章页面点击阅读按钮。每天练习二十分钟，先求读懂，再求读快；读完一篇，不妨合上眼睛回想文章的要点。文章可以手工录入，也可以从文本文件批量导入，还可以把选好的文章打成文章包，与朋友交换。</p>
<p style="line-height: 135%; color:#9b1c1c; font-weight:bold;">本版说明</p>
<ul style="margin-left: 1em;">
<li style="line-height: 135%;">书目和文章保存在程序目录下的文章库中，打开即用，无需另装数据库。</li>
<li style="line-height: 135%;">书目树支持勾选整本书或单篇文章，删除、制作文章包和阅读都按勾选进行。</li>
<li style="line-height: 135%;">文章编辑页提供剪切、复制、粘贴、恢复、换行显示切换、去掉空行和字数统计。</li>
<li style="line-height: 135%;">超过设定字数的文章保存前会提示，建议分篇保存。</li>
<li style="line-height: 135%;">界面风格保存在程序目录的 themes 文件夹中，可以随时更换。</li>
</ul>
<p style="line-height: 135%; color:#666666; text-indent: 28px;">祝您阅读愉快，日有所进！</p>
)");
}
