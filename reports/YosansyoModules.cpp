#include "reports/YosansyoModules.h"

#include "reports/ExlYosansyoUnit1.h"
#include "reports/ExlYosansyoUnit5.h"
#include "reports/ExlYosansyoUnit7.h"

std::unique_ptr<TExlYosansyoModule> NewYosansyoModule(yosansyo::Module kind) {
    switch (kind) {
        case yosansyo::Module::Yosansyo1:
            return std::make_unique<TExlYosansyoModule1>();
        case yosansyo::Module::Yosansyo5:
            return std::make_unique<TExlYosansyoModule5>();
        case yosansyo::Module::Yosansyo7:
            return std::make_unique<TExlYosansyoModule7>();
        case yosansyo::Module::Yosansyo:
            break;
    }
    return std::make_unique<TExlYosansyoModule>();
}
