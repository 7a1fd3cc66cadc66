// What the parameter editor benchmarks share: the generated parameters in one tree group, and the
// editor control made in a form, loaded from the store the process published.
#pragma once

#include "GeneratedUnit.h"

#include <component/loader.h>
#include <controls/ZRPARAMMembers.h>

#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace bench {

// `count` generated definition lines, and their tree lines after `groupLine` inside its braces
// (CR line ends), appended.
inline void AppendParameterGroup(int count, const std::string& groupLine, std::string& definitions, std::string& tree)
{
    tree += groupLine + "\r{\r";
    for (int i = 0; i < count; ++i) {
        definitions += definitionLine(i) + "\r";
        tree += "WR," + parameterName(i) + ",,,,,\r";
    }
    tree += "}\r";
}

// The editor control, 800 x 600 in a shown form, its tree and list loaded.
struct ParamEditorForm {
    QWidget form;
    std::unique_ptr<comp::Control> control;
    QWidget* window = nullptr;

    explicit ParamEditorForm(const char* program)
    {
        auto made = comp::Loader::instance().create(ctl::kZRPARAMIdentity.clsid);
        if (!made.ok()) {
            std::fprintf(stderr, "%s: %s\n", program, made.error.c_str());
            std::exit(1);
        }
        control = std::move(made.control);
        window = control->createWidget(&form);
        form.resize(820, 620);
        window->setGeometry(10, 10, 800, 600);
        form.show();
        call(ctl::zrparam::LoadFile, {comp::Variant::fromString(""), comp::Variant::fromString("")});
    }
    comp::Variant call(comp::DISPID id, std::initializer_list<comp::Variant> args)
    {
        return control->invoke(id, comp::InvokeKind::Method, args).value;
    }
};

} // namespace bench
