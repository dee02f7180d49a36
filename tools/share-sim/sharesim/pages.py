"""HTML pages of the main host. Texts the client looks for are the service's own."""
import html

_HEAD = ('<!DOCTYPE html>\n<html><head><meta charset="utf-8"><title>{title}</title>\n'
         '<style>body{{margin:0;font-family:"Microsoft YaHei",sans-serif}}.box{{width:600px}}</style>\n'
         '<script>window.console && console.log("share page");</script></head>\n<body>\n')
_TAIL = '\n<script>if (window.yunData) { document.title = document.title; }</script>\n</body></html>\n'


def _page(title: str, body: str) -> bytes:
    return (_HEAD.format(title=html.escape(title)) + body + _TAIL).encode("utf-8")


def share_page(title: str, data_json: str) -> bytes:
    script = ("<script>\nvar yunData = window.yunData || {};\n"
              "yunData.setData(" + data_json + ");\n"
              "yunData.ready = true;\n</script>")
    return _page(title + "_免费高速下载|网盘-分享无限制",
                 '<div class="box"><div id="shareqr"></div></div>\n' + script)


def password_page() -> bytes:
    return _page("网盘 请输入提取密码",
                 '<div class="box"><dl><dt>请输入提取密码：</dt>'
                 '<dd><input type="text" id="accessCode" maxlength="4"></dd>'
                 '<dd><a id="submitBtn" href="javascript:;">提取文件</a></dd></dl></div>')


def removed_page() -> bytes:
    return _page("网盘-链接不存在",
                 '<div class="box"><div class="error-img"></div>'
                 '<p>啊哦，你来晚了，分享的文件已经被删除了，下次要早点哟。</p>'
                 '<p class="tip">链接不存在</p></div>')


def missing_page() -> bytes:
    return _page("网盘-页面不存在",
                 '<div class="box"><h2>页面不存在</h2><p>你访问的页面不存在，请检查地址是否正确。</p></div>')


def no_marker_page() -> bytes:
    return _page("网盘-分享",
                 '<div class="box"><p>分享内容加载中……</p></div>\n'
                 '<script>var shareData = {"loading": true};</script>')


def html_data_page() -> bytes:
    return _page("网盘-分享",
                 '<div class="box"></div>\n<script>\nvar yunData = window.yunData || {};\n'
                 "yunData.setData('<div class=\"share-error\">分享数据加载失败</div>');\n</script>")


def busy_page() -> bytes:
    """What an API answers when the service is in trouble: HTML where JSON belongs."""
    return _page("网盘-系统繁忙",
                 '<div class="box"><h2>系统繁忙</h2><p>请稍后再试。</p></div>\n'
                 '<script>var retry = {"after": 30};</script>')
